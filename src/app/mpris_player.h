// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class CMainDlg;

// The window as an MPRIS 2 player on the session bus, for the desktop's
// media keys and sound applets: org.mpris.MediaPlayer2.susurra at
// /org/mpris/MediaPlayer2. Play and Stop act as the buttons do; there is no
// pause, so Pause stops and PlayPause toggles. PlaybackStatus, Metadata (the
// noise setting's name) and Volume follow the window, with PropertiesChanged
// whenever one of them changes, whatever changed it. Setting Volume moves the
// window's volume slider.
class CMprisPlayer : public QObject
{
    Q_OBJECT
public:
    static constexpr const char* kServiceName = "org.mpris.MediaPlayer2.susurra";
    static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";

    explicit CMprisPlayer(CMainDlg& dialog);

    // Registers on the session bus; false, quietly, when there is none or
    // the name is taken.
    bool Register();

    CMainDlg& Dialog() { return m_dialog; }
    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    double Volume() const;

private:
    void OnPlayerStateChanged();

    CMainDlg& m_dialog;
    QString m_sentStatus;
    QVariantMap m_sentMetadata;
    double m_sentVolume = -1.0;
};

// org.mpris.MediaPlayer2
class CMprisRootAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    explicit CMprisRootAdaptor(CMprisPlayer& player);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Susurra"); }
    QString DesktopEntry() const { return QStringLiteral("org.susurra.Susurra"); }
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public slots:
    void Raise();
    void Quit();

private:
    CMprisPlayer& m_player;
};

// org.mpris.MediaPlayer2.Player
class CMprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ No)
    Q_PROPERTY(bool CanGoPrevious READ No)
    Q_PROPERTY(bool CanPlay READ Yes)
    Q_PROPERTY(bool CanPause READ Yes)
    Q_PROPERTY(bool CanSeek READ No)
    Q_PROPERTY(bool CanControl READ Yes)
public:
    explicit CMprisPlayerAdaptor(CMprisPlayer& player);

    QString PlaybackStatus() const { return m_player.PlaybackStatus(); }
    double Rate() const { return 1.0; }
    QVariantMap Metadata() const { return m_player.Metadata(); }
    double Volume() const { return m_player.Volume(); }
    void SetVolume(double volume);
    qlonglong Position() const { return 0; }
    bool Yes() const { return true; }
    bool No() const { return false; }

public slots:
    void Play();
    void Stop();
    void Pause();
    void PlayPause();
    void Next() {}
    void Previous() {}
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong position);

private:
    CMprisPlayer& m_player;
};
