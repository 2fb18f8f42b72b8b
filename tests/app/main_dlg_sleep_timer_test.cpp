// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's sleep timer and fade in at Play, on the scripted backend.
#include "app/main_dlg.h"
#include "app/resource_ids.h"
#include "playback/fade_curve.h"
#include "testing/fake_wave_out.h"
#include "testing/ui/qt_test_app.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/scripted_save_file_dialog.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/services/dialog_services.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <vector>

namespace
{

class SleepTimer : public QtTest
{
protected:
    SleepTimer() { m_waveOut.SetDevices({{"Speakers", true}}); }

    // The window with one timer minute lasting `minute`.
    std::unique_ptr<CMainDlg> Start(std::chrono::milliseconds minute = std::chrono::minutes(1))
    {
        auto dialog = std::make_unique<CMainDlg>(m_waveOut, m_folder.path().toStdString() + "/");
        dialog->SetSleepMinuteForTest(minute);
        dialog->ShowWindow(true);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QCoreApplication::processEvents();
        return dialog;
    }
    static void SetTimer(CMainDlg& d, const QString& stopAfter, const QString& fade)
    {
        d.GetDlgItemAs<CComboCtrl>(IDC_SLEEP_STOP_AFTER)->setEditText(stopAfter);
        d.GetDlgItemAs<QLineEdit>(IDC_SLEEP_FADE_OUT)->setText(fade);
    }
    static void Check(CMainDlg& d, int id, bool on) { d.GetDlgItemAs<QAbstractButton>(id)->setChecked(on); }
    static QString Text(CMainDlg& d, int id) { return d.GetDlgItemText(id); }
    QString PathIn(const QString& name) const { return m_folder.filePath(name); }

    // Hands back every queued half; the window's check then sees the end.
    void PlayOut(CMainDlg& d)
    {
        while (m_waveOut.CompleteNext())
        {
        }
        d.OnCheckDevice();
    }

    QTemporaryDir m_folder;
    CFakeWaveOut m_waveOut;
    CRecordingMessageBox m_messages;
    CScriptedSaveFileDialog m_chooser;
    CScopedDialogServices m_services{&m_messages, &m_chooser};
};

TEST_F(SleepTimer, FirstStartHasEverythingOffAndLeavesNoPreferencesFile)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    EXPECT_EQ(Text(d, IDC_SLEEP_STOP_AFTER), "Off");
    EXPECT_EQ(Text(d, IDC_SLEEP_FADE_OUT), "10");
    EXPECT_EQ(Text(d, IDC_FADE_IN_AT_PLAY), "0");
    EXPECT_FALSE(d.GetDlgItemAs<QAbstractButton>(IDC_SLEEP_QUIT)->isChecked());
    EXPECT_FALSE(d.GetDlgItemAs<QAbstractButton>(IDC_GLIDE)->isChecked());
    d.OnPlay();
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    EXPECT_EQ(d.Engine().Header(0).bufferLengthBytes, 262144u);
    d.OnExit();
    EXPECT_TRUE(QFile::exists(PathIn("ns.srx")));
    EXPECT_FALSE(QFile::exists(PathIn("preferences.ini")));
}

TEST_F(SleepTimer, ShortTimerFadesTheStreamThenStopsPlaybackAndShowsNothingToDo)
{
    auto dialog = Start(std::chrono::milliseconds(1));
    CMainDlg& d = *dialog;
    SetTimer(d, "15 min", "10");  // 15 ms, the last 10 ms fading
    d.GetDlgItemAs<QLineEdit>(IDC_SURF_STRENGTH)->setText("0");  // the shaper then copies the signal
    d.OnPlay();
    EXPECT_TRUE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 0:00:01");
    // Only the stream up to the end reaches the device: 15 ms = 661 samples.
    EXPECT_EQ(m_waveOut.CountCalls("Write"), 1);
    EXPECT_EQ(d.Engine().Header(0).bufferLengthBytes, 2u * 661);
    EXPECT_EQ(d.Engine().PlayBuffer()[660], FadeCurve::Scale(d.m_synth.m_source[660],
                                                             FadeCurve::FallGain(660 - 220, 441)));

    PlayOut(d);
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_FALSE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do");
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_TRUE(d.isVisible());
}

TEST_F(SleepTimer, ThenQuitLeavesAsExitWhenValidAndAsTheCloseBoxOtherwise)
{
    {
        auto dialog = Start(std::chrono::milliseconds(1));
        CMainDlg& d = *dialog;
        SetTimer(d, "0:20", "5");
        Check(d, IDC_SLEEP_QUIT, true);
        d.OnPlay();
        PlayOut(d);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.EndCode(), IDOK);
        EXPECT_TRUE(QFile::exists(PathIn("ns.srx")));
        EXPECT_TRUE(QFile::exists(PathIn("fs.srx")));
        const QSettings prefs(PathIn("preferences.ini"), QSettings::IniFormat);
        EXPECT_EQ(prefs.value("SleepTimer/StopAfterMinutes").toInt(), 20);
        EXPECT_EQ(prefs.value("SleepTimer/FadeOutMinutes").toInt(), 5);
        EXPECT_EQ(prefs.value("SleepTimer/ThenQuit").toInt(), 1);
    }
    QFile::remove(PathIn("ns.srx"));
    QFile::remove(PathIn("fs.srx"));
    {
        // The choices came back; a bad value typed meanwhile: no file, no message.
        auto dialog = Start(std::chrono::milliseconds(1));
        CMainDlg& d = *dialog;
        EXPECT_EQ(Text(d, IDC_SLEEP_STOP_AFTER), "0:20");
        EXPECT_TRUE(d.GetDlgItemAs<QAbstractButton>(IDC_SLEEP_QUIT)->isChecked());
        d.OnPlay();
        d.GetDlgItemAs<QLineEdit>(IDC_SURF_PERIOD)->setText("20000");
        PlayOut(d);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.EndCode(), IDCANCEL);
        EXPECT_FALSE(QFile::exists(PathIn("ns.srx")));
        EXPECT_TRUE(m_messages.Texts().isEmpty());
    }
}

TEST_F(SleepTimer, StopCancelsPlayRestartsAndAChangeWhilePlayingCountsAnew)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    SetTimer(d, "1 h", "10");
    d.OnPlay();
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 1:00:00");
    d.OnStop();
    EXPECT_FALSE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    d.OnPlay();
    EXPECT_TRUE(d.SleepTimerRunning());
    SetTimer(d, "1\u00bd h", "10");
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 1:30:00");
    // Half-typed text leaves the count alone.
    SetTimer(d, "1:", "10");
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 1:30:00");
    SetTimer(d, "Off", "10");
    EXPECT_FALSE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    EXPECT_TRUE(d.IsPlaying());
}

TEST_F(SleepTimer, ADeviceLostDuringTheFadeStopsTheTimerWithoutAMessageBox)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    SetTimer(d, "15 min", "10");
    d.OnPlay();
    m_waveOut.BreakDevice();
    d.OnCheckDevice();
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_FALSE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_STATUS), "sound device lost: sleep timer stopped");
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

struct BadValue
{
    const char* name;
    int id;
    const char* text;
    const char* message;
};

class SleepTimerValidation : public SleepTimer, public testing::WithParamInterface<BadValue>
{
};

TEST_P(SleepTimerValidation, OutOfRangeValuesAreRefusedNamingTheRange)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    const BadValue& bad = GetParam();
    if (bad.id == IDC_SLEEP_STOP_AFTER)
        d.GetDlgItemAs<CComboCtrl>(bad.id)->setEditText(bad.text);
    else
        d.GetDlgItemAs<QLineEdit>(bad.id)->setText(bad.text);
    d.OnPlay();
    EXPECT_EQ(m_messages.Texts(), QStringList{bad.message});
    EXPECT_FALSE(d.SleepTimerRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Values, SleepTimerValidation,
    testing::Values(
        BadValue{"StopAfterPastADay", IDC_SLEEP_STOP_AFTER, "24:00",
                 "Please enter Off, a choice from the list or a time h:mm between 0:01 and 23:59."},
        BadValue{"StopAfterWords", IDC_SLEEP_STOP_AFTER, "soon",
                 "Please enter Off, a choice from the list or a time h:mm between 0:01 and 23:59."},
        BadValue{"FadeOutOverAnHour", IDC_SLEEP_FADE_OUT, "61", "Please enter a number between 0 and 60."},
        BadValue{"FadeInOverAMinute", IDC_FADE_IN_AT_PLAY, "61", "Please enter a number between 0 and 60."}),
    [](const testing::TestParamInfo<BadValue>& info) { return std::string(info.param.name); });

TEST_F(SleepTimer, FadeInAtPlayRisesFromSilence)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    d.GetDlgItemAs<QLineEdit>(IDC_FADE_IN_AT_PLAY)->setText("2");
    d.GetDlgItemAs<QLineEdit>(IDC_SURF_STRENGTH)->setText("0");
    d.OnPlay();
    const int16_t* played = d.Engine().PlayBuffer();
    const int16_t* made = d.m_synth.m_source.get();
    EXPECT_EQ(played[0], 0);
    for (int i = 1; i < 2 * 44100; i += 97)
        ASSERT_EQ(played[i], FadeCurve::Scale(made[i], FadeCurve::RiseGain(i, 2 * 44100))) << i;
    for (int i = 2 * 44100; i < 131072; ++i)
        ASSERT_EQ(played[i], made[i]) << i;
}

TEST_F(SleepTimer, GlideCrossfadesIntoAnotherTypeWithoutStoppingTheDevice)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    Check(d, IDC_GLIDE, true);
    d.GetDlgItemAs<QLineEdit>(IDC_SURF_STRENGTH)->setText("0");
    d.OnPlay();
    ASSERT_TRUE(m_waveOut.CompleteNext());
    const std::vector<int16_t> before(d.m_synth.m_source.get(), d.m_synth.m_source.get() + 262144);
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(1)->click();  // white noise
    d.OnPlay();
    EXPECT_EQ(m_waveOut.CountCalls("Reset"), 0);
    EXPECT_TRUE(d.IsPlaying());

    ASSERT_TRUE(m_waveOut.CompleteNext());
    const int16_t* played = d.Engine().PlayBuffer() + 131072;
    const int16_t* after = d.m_synth.m_source.get() + 131072;
    for (int k = 0; k < 44100; ++k)
        ASSERT_EQ(played[k], FadeCurve::GlideMix(before[131072 + k], after[k], k / 44100.0)) << k;
    EXPECT_NEAR(FadeCurve::GlideOldWeight(0.5), std::sqrt(0.5), 1e-12);
    for (int k = 44100; k < 131072; ++k)
        ASSERT_EQ(played[k], after[k]) << k;
}

}  // namespace

