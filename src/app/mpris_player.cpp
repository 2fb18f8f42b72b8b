// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mpris_player.h"

#include "app/main_dlg.h"
#include "playback/playback_engine.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <algorithm>
#include <cmath>

namespace
{

constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

// Commands from the bus wait while the window's thread does long work.
template <typename Action>
void WhenIdle(CMainDlg& dialog, Action action)
{
    if (dialog.WorkInProgress())
        QTimer::singleShot(100, &dialog, [&dialog, action] { WhenIdle(dialog, action); });
    else
        action();
}

} // namespace

CMprisPlayer::CMprisPlayer(CMainDlg& dialog) : QObject(&dialog), m_dialog(dialog)
{
    new CMprisRootAdaptor(*this);
    new CMprisPlayerAdaptor(*this);
    // Queued: the engine has settled by the time the state is read.
    connect(&m_dialog, &CMainDlg::PlayerStateChanged, this, &CMprisPlayer::OnPlayerStateChanged, Qt::QueuedConnection);
}

bool CMprisPlayer::Register()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAdaptors))
        return false;
    m_sentStatus = PlaybackStatus();
    m_sentMetadata = Metadata();
    m_sentVolume = Volume();
    return bus.registerService(QString::fromLatin1(kServiceName));
}

QString CMprisPlayer::PlaybackStatus() const
{
    return m_dialog.IsPlaying() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

QVariantMap CMprisPlayer::Metadata() const
{
    const QString name = m_dialog.NoiseSettingName();
    QVariantMap metadata;
    // One "track" per noise setting; the path only has to name it.
    const QByteArray id = name.toUtf8().toHex();
    metadata.insert(QStringLiteral("mpris:trackid"),
                    QVariant::fromValue(
                        QDBusObjectPath(QStringLiteral("/org/susurra/Susurra/setting/n") + QString::fromLatin1(id))));
    metadata.insert(QStringLiteral("xesam:title"), name);
    return metadata;
}

double CMprisPlayer::Volume() const
{
    // The slider's position as the device's linear level, 0..1.
    const double position = m_dialog.Engine().Volume();
    return std::clamp(position / CPlaybackEngine::kMaxVolumePosition, 0.0, 1.0);
}

void CMprisPlayer::OnPlayerStateChanged()
{
    QVariantMap changed;
    if (const QString status = PlaybackStatus(); status != m_sentStatus)
    {
        m_sentStatus = status;
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    }
    if (const QVariantMap metadata = Metadata(); metadata != m_sentMetadata)
    {
        m_sentMetadata = metadata;
        changed.insert(QStringLiteral("Metadata"), metadata);
    }
    if (const double volume = Volume(); volume != m_sentVolume)
    {
        m_sentVolume = volume;
        changed.insert(QStringLiteral("Volume"), volume);
    }
    if (changed.isEmpty())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

CMprisRootAdaptor::CMprisRootAdaptor(CMprisPlayer& player) : QDBusAbstractAdaptor(&player), m_player(player) {}

void CMprisRootAdaptor::Raise()
{
    m_player.Dialog().BringToFront();
}

void CMprisRootAdaptor::Quit()
{
    // After the reply: the window must not end inside the bus's call.
    CMainDlg& dialog = m_player.Dialog();
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.LeaveQuietly(); });
}

CMprisPlayerAdaptor::CMprisPlayerAdaptor(CMprisPlayer& player) : QDBusAbstractAdaptor(&player), m_player(player) {}

void CMprisPlayerAdaptor::Play()
{
    CMainDlg& dialog = m_player.Dialog();
    QTimer::singleShot(0, &dialog, [&dialog] { WhenIdle(dialog, [&dialog] { dialog.OnPlay(); }); });
}

void CMprisPlayerAdaptor::SetVolume(double volume)
{
    // Below 0 is silence; NaN is no volume at all.
    if (std::isnan(volume))
        return;
    const int position =
        static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * CPlaybackEngine::kMaxVolumePosition));
    CMainDlg& dialog = m_player.Dialog();
    QTimer::singleShot(0, &dialog, [&dialog, position] {
        WhenIdle(dialog, [&dialog, position] { dialog.SetVolumeFromDesktop(position); });
    });
}

void CMprisPlayerAdaptor::Stop()
{
    CMainDlg& dialog = m_player.Dialog();
    QTimer::singleShot(0, &dialog, [&dialog] { WhenIdle(dialog, [&dialog] { dialog.OnStop(); }); });
}

void CMprisPlayerAdaptor::Pause()
{
    Stop();
}

void CMprisPlayerAdaptor::PlayPause()
{
    if (m_player.Dialog().IsPlaying())
        Stop();
    else
        Play();
}
