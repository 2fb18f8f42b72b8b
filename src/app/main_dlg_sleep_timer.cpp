// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's sleep timer and gentle sound: the timer's controls and
// countdown, its end, the quiet leave and the preferences file.
#include "app/main_dlg.h"

#include "app/resource_ids.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/dialog/data_exchange.h"

#include <QCoreApplication>
#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>
#include <cstdio>

namespace
{
struct StopAfterChoice
{
    const char* text;
    int minutes;
};

const StopAfterChoice kChoices[] = {
    {QT_TRANSLATE_NOOP("CMainDlg", "Off"), 0},     {QT_TRANSLATE_NOOP("CMainDlg", "15 min"), 15},
    {QT_TRANSLATE_NOOP("CMainDlg", "30 min"), 30}, {QT_TRANSLATE_NOOP("CMainDlg", "45 min"), 45},
    {QT_TRANSLATE_NOOP("CMainDlg", "1 h"), 60},    {QT_TRANSLATE_NOOP("CMainDlg", "1\u00bd h"), 90},
    {QT_TRANSLATE_NOOP("CMainDlg", "2 h"), 120},   {QT_TRANSLATE_NOOP("CMainDlg", "3 h"), 180},
    {QT_TRANSLATE_NOOP("CMainDlg", "4 h"), 240},   {QT_TRANSLATE_NOOP("CMainDlg", "6 h"), 360},
    {QT_TRANSLATE_NOOP("CMainDlg", "8 h"), 480},
};

// A choice as the list shows it, in the user's language.
QString ChoiceText(const StopAfterChoice& choice)
{
    return QCoreApplication::translate("CMainDlg", choice.text);
}

constexpr int kMaxStopAfterMinutes = 23 * 60 + 59;
constexpr int kMaxFadeOutMinutes = 60;
constexpr int kMaxFadeInSeconds = 60;
constexpr int64_t kSampleRate = 44100;
// A stream that has not ended this long after the timer (a stalled device)
// is stopped anyway.
constexpr int64_t kBackstopMs = 10000;

const char kStopAfterKey[] = "SleepTimer/StopAfterMinutes";
const char kFadeOutKey[] = "SleepTimer/FadeOutMinutes";
const char kThenQuitKey[] = "SleepTimer/ThenQuit";
const char kFadeInKey[] = "GentleSound/FadeInSeconds";
const char kGlideKey[] = "GentleSound/Glide";
// Written only when off: a file of users who never turned it off stays as it was.
const char kKeepAwakeKey[] = "Desktop/KeepAwake";

// A preferences file holds a few short lines; anything far beyond that is
// not one, and reading it whole would cost its size in memory.
constexpr qint64 kMaxPreferencesBytes = 64 * 1024;
constexpr qsizetype kMaxPreferencesLine = 1024;

// Why the preferences file at `path` must not be read or written; empty when
// it may. Never opens anything but a regular file (a named pipe would block).
QString PreferencesProblem(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    if (info.size() > kMaxPreferencesBytes)
        return QStringLiteral("larger than %1 bytes").arg(kMaxPreferencesBytes);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {}; // QSettings reports what it cannot read as defaults
    const QByteArray bytes = file.read(kMaxPreferencesBytes + 1);
    if (bytes.size() > kMaxPreferencesBytes)
        return QStringLiteral("larger than %1 bytes").arg(kMaxPreferencesBytes);
    for (qsizetype start = 0; start < bytes.size();)
    {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (end - start > kMaxPreferencesLine)
            return QStringLiteral("a line longer than %1 bytes").arg(kMaxPreferencesLine);
        start = end + 1;
    }
    return {};
}

QString StopAfterMessage()
{
    return QCoreApplication::translate(
        "CMainDlg", "Please enter Off, a choice from the list or a time h:mm between 0:01 and 23:59.");
}

int64_t MsToSamples(int64_t ms)
{
    return ms * kSampleRate / 1000;
}
} // namespace

std::optional<int> CMainDlg::ParseStopAfter(const QString& text)
{
    const QString trimmed = text.trimmed();
    // The English words are taken in every language, as the range message names them.
    for (const StopAfterChoice& choice : kChoices)
    {
        if (trimmed.compare(ChoiceText(choice), Qt::CaseInsensitive) == 0
            || trimmed.compare(QString::fromUtf8(choice.text), Qt::CaseInsensitive) == 0)
            return choice.minutes;
    }
    static const QRegularExpression hoursMinutes(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch match = hoursMinutes.match(trimmed);
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    // "0:00" is no time to stop after: Off says that, and the range starts at 0:01.
    if (hours > 23 || minutes > 59 || hours * 60 + minutes == 0)
        return std::nullopt;
    return hours * 60 + minutes;
}

QString CMainDlg::FormatStopAfter(int minutes)
{
    for (const StopAfterChoice& choice : kChoices)
    {
        if (choice.minutes == minutes)
            return ChoiceText(choice);
    }
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

void CMainDlg::SetUpSleepTimer()
{
    m_stopAfterCombo = GetDlgItemAs<CComboCtrl>(IDC_SLEEP_STOP_AFTER);
    for (const StopAfterChoice& choice : kChoices)
        m_stopAfterCombo->AddString(ChoiceText(choice));
    // Typed text is taken as typed: completing "1" to "15 min" would start
    // a timer nobody asked for, and Enter must not add the text to the list.
    m_stopAfterCombo->setCompleter(nullptr);
    m_stopAfterCombo->setInsertPolicy(QComboBox::NoInsert);
    m_sleepTick.setInterval(1000);
    connect(&m_sleepTick, &QTimer::timeout, this, [this] { OnSleepTick(); });
    // A value counts once it is complete: on Enter, when the focus leaves,
    // or when a choice is picked from the list; never while it is typed.
    connect(m_stopAfterCombo, &QComboBox::activated, this, [this] { OnChangeSleepTimer(); });
    if (QLineEdit* typed = m_stopAfterCombo->lineEdit())
        connect(typed, &QLineEdit::editingFinished, this, [this] { OnChangeSleepTimer(); });
    if (auto* fade = GetDlgItemAs<QLineEdit>(IDC_SLEEP_FADE_OUT))
        connect(fade, &QLineEdit::editingFinished, this, [this] { OnChangeSleepTimer(); });
}

void CMainDlg::DisconnectSleepTimerFields()
{
    if (m_stopAfterCombo == nullptr)
        return;
    m_stopAfterCombo->disconnect(this);
    if (QLineEdit* typed = m_stopAfterCombo->lineEdit())
        typed->disconnect(this);
    if (auto* fade = GetDlgItemAs<QLineEdit>(IDC_SLEEP_FADE_OUT))
        fade->disconnect(this);
}

void CMainDlg::keyPressEvent(QKeyEvent* event)
{
    // The field has taken the value (editingFinished) before the key gets
    // here; ending the window now would end the night's plan with it.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focused = focusWidget();
    const bool timerField = focused != nullptr
                            && (focused == m_stopAfterCombo || focused == m_stopAfterCombo->lineEdit()
                                || focused == GetDlgItem(IDC_SLEEP_FADE_OUT));
    if (enter && timerField)
    {
        event->accept();
        return;
    }
    CDialogBase::keyPressEvent(event);
}

void CMainDlg::ExchangeSleepTimer(CDataExchange& dx)
{
    QString stopAfter = FormatStopAfter(m_sleepMinutes);
    dx.Text(IDC_SLEEP_STOP_AFTER, stopAfter);
    if (dx.m_saveAndValidate)
    {
        if (const std::optional<int> minutes = ParseStopAfter(stopAfter))
            m_sleepMinutes = *minutes;
        else
            dx.Reject(IDC_SLEEP_STOP_AFTER, StopAfterMessage());
    }
    dx.Text(IDC_SLEEP_FADE_OUT, m_sleepFadeMinutes, 0, kMaxFadeOutMinutes);
    dx.Check(IDC_SLEEP_QUIT, m_sleepQuit);
    dx.Text(IDC_FADE_IN_AT_PLAY, m_playFadeInSeconds, 0, kMaxFadeInSeconds);
    dx.Check(IDC_GLIDE, m_glide);
    dx.Check(IDC_KEEP_AWAKE, m_keepAwake);
}

void CMainDlg::StartSleepTimer()
{
    if (m_sleepMinutes <= 0 || !m_engine.IsPlaying())
    {
        CancelSleepTimer();
        return;
    }
    m_sleepLengthMs = m_sleepMinutes * static_cast<int64_t>(m_sleepMinute.count());
    m_sleepClock.start();
    m_sleepRunning = true;
    ShowCountdown();
    m_sleepTick.start();
}

void CMainDlg::ArmSleepEnd()
{
    if (m_sleepMinutes <= 0)
    {
        m_engine.ClearStreamEnd();
        return;
    }
    const int64_t lengthMs = m_sleepMinutes * static_cast<int64_t>(m_sleepMinute.count());
    const int64_t fadeMs = std::min(m_sleepFadeMinutes * static_cast<int64_t>(m_sleepMinute.count()), lengthMs);
    m_engine.SetStreamEndAfter(MsToSamples(lengthMs), MsToSamples(fadeMs));
}

void CMainDlg::CancelSleepTimer()
{
    m_sleepTick.stop();
    SetDlgItemText(IDC_SLEEP_COUNTDOWN, QString());
    if (!m_sleepRunning)
        return;
    m_sleepRunning = false;
    m_engine.ClearStreamEnd();
}

void CMainDlg::ShowCountdown()
{
    const int64_t left = std::max<int64_t>(m_sleepLengthMs - m_sleepClock.elapsed(), 0);
    const int64_t seconds = (left + 999) / 1000;
    SetDlgItemText(IDC_SLEEP_COUNTDOWN, tr("stops in %1:%2:%3")
                                            .arg(seconds / 3600)
                                            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                            .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void CMainDlg::OnSleepTick()
{
    // The pitch match holds the window, but the night goes on: its count
    // keeps running, and its end closes the match as it would any box.
    const bool matching = m_matchDialog != nullptr;
    if (!m_sleepRunning || (Busy() && !matching))
        return;
    if (!m_engine.IsPlaying() && !matching)
    {
        CancelSleepTimer();
        return;
    }
    ShowCountdown();
    if (matching && m_sleepClock.elapsed() >= m_sleepLengthMs)
    {
        OnSleepTimerEnded();
        if (m_leaveWhenIdle)
            m_matchDialog->reject();
    }
    else if (m_sleepClock.elapsed() > m_sleepLengthMs + kBackstopMs)
    {
        m_engine.OnStop();
        OnSleepTimerEnded();
    }
}

void CMainDlg::OnChangeSleepTimer()
{
    // A window on its way out (Exit, the close box) leaves the fields as they are.
    if (!m_initDone || Busy() || !isVisible())
        return;
    // Both fields are read as Play reads them: a bad value gets the range
    // message and changes nothing, neither the values nor a running count.
    CDataExchange dx(*this, true);
    QString stopAfter;
    dx.Text(IDC_SLEEP_STOP_AFTER, stopAfter);
    const std::optional<int> minutes = ParseStopAfter(stopAfter);
    if (!minutes)
        dx.Reject(IDC_SLEEP_STOP_AFTER, StopAfterMessage());
    int fade = m_sleepFadeMinutes;
    dx.Text(IDC_SLEEP_FADE_OUT, fade, 0, kMaxFadeOutMinutes);
    if (dx.Failed())
        return;
    const bool changed = *minutes != m_sleepMinutes || fade != m_sleepFadeMinutes;
    m_sleepMinutes = *minutes;
    m_sleepFadeMinutes = fade;
    // Leaving a field unchanged keeps the count going.
    if (changed && m_engine.IsPlaying())
    {
        ArmSleepEnd();
        StartSleepTimer();
    }
}

void CMainDlg::OnSleepTimerEnded()
{
    CancelSleepTimer();
    KeepAwakeWhilePlaying();
    if (auto* quit = GetDlgItemAs<QAbstractButton>(IDC_SLEEP_QUIT); quit != nullptr && quit->isChecked())
        LeaveQuietly();
}

QString CMainDlg::PreferencesPath() const
{
    return QString::fromStdString(m_settings.m_folder) + QStringLiteral("preferences.ini");
}

bool CMainDlg::PreferencesUsable()
{
    const QString path = PreferencesPath();
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    const QString problem = PreferencesProblem(path);
    if (problem.isEmpty())
        return true;
    // The window has no place for this yet, and the file is the user's to mend.
    std::fprintf(stderr, "susurra: %s: %s; the preferences are not read or written\n", qUtf8Printable(path),
                 qUtf8Printable(problem));
    return false;
}

void CMainDlg::LoadPreferences()
{
    if (!QFile::exists(PreferencesPath()))
        return;
    m_preferencesRefused = !PreferencesUsable();
    if (m_preferencesRefused)
        return;
    const QSettings prefs(PreferencesPath(), QSettings::IniFormat);
    const auto read = [&prefs](const char* key, int fallback, int maximum) {
        bool ok = false;
        const int value = prefs.value(QLatin1String(key), fallback).toInt(&ok);
        return ok && value >= 0 && value <= maximum ? value : fallback;
    };
    m_sleepMinutes = read(kStopAfterKey, m_sleepMinutes, kMaxStopAfterMinutes);
    m_sleepFadeMinutes = read(kFadeOutKey, m_sleepFadeMinutes, kMaxFadeOutMinutes);
    m_sleepQuit = read(kThenQuitKey, 0, 1) == 1;
    m_playFadeInSeconds = read(kFadeInKey, m_playFadeInSeconds, kMaxFadeInSeconds);
    m_glide = read(kGlideKey, 0, 1) == 1;
    m_keepAwake = read(kKeepAwakeKey, 1, 1) == 1;
}

void CMainDlg::SavePreferences()
{
    // Nothing chosen yet: the settings folder stays as it was.
    const bool defaults = m_sleepMinutes == 0 && m_sleepFadeMinutes == 10 && !m_sleepQuit && m_playFadeInSeconds == 0
                          && !m_glide && m_keepAwake;
    if (defaults && !QFile::exists(PreferencesPath()))
        return;
    // A file refused at the start stays as it is; one that turned bad since is refused now.
    if (m_preferencesRefused || !PreferencesUsable())
    {
        m_preferencesRefused = true;
        return;
    }
    QSettings prefs(PreferencesPath(), QSettings::IniFormat);
    prefs.setValue(QLatin1String(kStopAfterKey), m_sleepMinutes);
    prefs.setValue(QLatin1String(kFadeOutKey), m_sleepFadeMinutes);
    prefs.setValue(QLatin1String(kThenQuitKey), m_sleepQuit ? 1 : 0);
    prefs.setValue(QLatin1String(kFadeInKey), m_playFadeInSeconds);
    prefs.setValue(QLatin1String(kGlideKey), m_glide ? 1 : 0);
    if (m_keepAwake)
        prefs.remove(QLatin1String(kKeepAwakeKey));
    else
        prefs.setValue(QLatin1String(kKeepAwakeKey), 0);
    prefs.sync();
    if (prefs.status() != QSettings::NoError)
        ShowStatus(tr("preferences not saved"));
}
