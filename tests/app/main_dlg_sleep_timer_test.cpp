// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's sleep timer and fade in at Play, on the scripted backend.
#include "playback/fade_curve.h"
#include "testing/temp_folder.h"
#include "tests/app/main_dlg_window_fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <vector>

namespace
{

class SleepTimer : public MainWindowTest
{
protected:
    // The window with one timer minute lasting `minute`.
    CMainDlg& Start(std::chrono::milliseconds minute = std::chrono::minutes(1))
    {
        MainWindowTest::Start().SetSleepMinuteForTest(minute);
        return *m_dialog;
    }

    // Hands back every queued half; the window's check then sees the end.
    void PlayOut(CMainDlg& d)
    {
        while (m_waveOut.CompleteNext())
        {}
        d.OnCheckDevice();
    }

    // Types into a field key by key, as a user does, over what it held;
    // then leaves it for the next control unless `stay`.
    static void TypeKeys(CMainDlg& d, int id, const QString& keys, bool stay = false)
    {
        auto* combo = d.GetDlgItemAs<CComboCtrl>(id);
        QLineEdit* edit = combo != nullptr ? combo->lineEdit() : Edit(d, id);
        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, keys);
        if (!stay)
            Button(d, IDC_SLEEP_QUIT)->setFocus();
        Settle();
    }
};

TEST_F(SleepTimer, ShortTimerFadesTheStreamThenStopsPlaybackAndShowsNothingToDo)
{
    CMainDlg& d = Start(std::chrono::milliseconds(1));
    // 15 ms, the last 10 ms fading; without surf the shaper copies the signal.
    Type(d, {{IDC_SLEEP_STOP_AFTER, "15 min"}, {IDC_SLEEP_FADE_OUT, "10"}, {IDC_SURF_STRENGTH, "0"}});
    d.OnPlay();
    EXPECT_TRUE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 0:00:01");
    // Only the stream up to the end reaches the device: 15 ms = 661 samples.
    EXPECT_EQ(m_waveOut.CountCalls("Write"), 1);
    EXPECT_EQ(d.Engine().Header(0).bufferLengthBytes, 2u * 661);
    EXPECT_EQ(d.Engine().PlayBuffer()[660],
              FadeCurve::Scale(d.m_synth.m_source[660], FadeCurve::FallGain(660 - 220, 441)));

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
    CMainDlg& first = Start(std::chrono::milliseconds(1));
    Type(first, {{IDC_SLEEP_STOP_AFTER, "0:20"}, {IDC_SLEEP_FADE_OUT, "5"}});
    Button(first, IDC_SLEEP_QUIT)->setChecked(true);
    first.OnPlay();
    PlayOut(first);
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(first.EndCode(), IDOK);
    EXPECT_EQ(Files(), (QStringList{"fs.srx", "ns.srx", "preferences.ini"}));
    const QSettings prefs(PathIn("preferences.ini"), QSettings::IniFormat);
    EXPECT_EQ(prefs.value("SleepTimer/StopAfterMinutes").toInt(), 20);
    EXPECT_EQ(prefs.value("SleepTimer/FadeOutMinutes").toInt(), 5);
    EXPECT_EQ(prefs.value("SleepTimer/ThenQuit").toInt(), 1);
    QFile::remove(PathIn("ns.srx"));
    QFile::remove(PathIn("fs.srx"));

    // The choices came back; a bad value typed meanwhile: no file, no message.
    CMainDlg& d = Start(std::chrono::milliseconds(1));
    EXPECT_EQ(Text(d, IDC_SLEEP_STOP_AFTER), "0:20");
    EXPECT_TRUE(Button(d, IDC_SLEEP_QUIT)->isChecked());
    d.OnPlay();
    Type(d, {{IDC_SURF_PERIOD, "20000"}});
    PlayOut(d);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.EndCode(), IDCANCEL);
    EXPECT_FALSE(QFile::exists(PathIn("ns.srx")));
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(SleepTimer, StopCancelsPlayRestartsAndAChangeWhilePlayingCountsAnew)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_SLEEP_STOP_AFTER, "1 h"}});
    d.OnPlay();
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 1:00:00");
    d.OnStop();
    EXPECT_FALSE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    d.OnPlay();
    EXPECT_TRUE(d.SleepTimerRunning());
    TypeKeys(d, IDC_SLEEP_STOP_AFTER, "1\u00bd h");
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 1:30:00");
    TypeKeys(d, IDC_SLEEP_FADE_OUT, "5");
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 1:30:00");
    EXPECT_EQ(d.m_sleepFadeMinutes, 5);
    TypeKeys(d, IDC_SLEEP_STOP_AFTER, "Off");
    EXPECT_FALSE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    EXPECT_TRUE(d.IsPlaying());
}

TEST_F(SleepTimer, ADeviceLostDuringTheFadeStopsTheTimerWithoutAMessageBox)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_SLEEP_STOP_AFTER, "15 min"}});
    d.OnPlay();
    m_waveOut.BreakDevice();
    d.OnCheckDevice();
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_FALSE(d.SleepTimerRunning());
    EXPECT_EQ(Text(d, IDC_STATUS), "sound device lost: sleep timer stopped");
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

// The pitch match stops the noise for its tones, but not the night: the
// count goes on beside a status that says what happens, and its end with
// "Then quit" closes the match and leaves as Exit does.
TEST_F(SleepTimer, TheCountRunsOnWhileMatchIsOpenAndItsEndQuitsThroughIt)
{
    CMainDlg& d = Start(std::chrono::milliseconds(1500));
    Type(d, {{IDC_SLEEP_STOP_AFTER, "0:01"}});
    Button(d, IDC_SLEEP_QUIT)->setChecked(true);
    d.OnPlay();
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 0:00:02");
    QString countdown;
    QString status;
    bool matchOpen = false;
    QTimer::singleShot(1200, &d, [&] {
        countdown = Text(d, IDC_SLEEP_COUNTDOWN);
        status = Text(d, IDC_STATUS);
        matchOpen = QApplication::activeModalWidget() != &d;
    });
    d.GetDlgItemAs<QPushButton>(IDC_MATCH)->click(); // returns once the match is closed
    EXPECT_TRUE(matchOpen);
    EXPECT_EQ(countdown, "stops in 0:00:01");
    EXPECT_EQ(status, "matching pitch");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !d.isVisible(); }, 2000));
    EXPECT_EQ(d.EndCode(), IDOK);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

struct PreferencesFile
{
    const char* name;
    // Makes preferences.ini at `path`.
    void (*make)(const std::string& path);
    const char* problem; // on stderr; empty: read as usual
};

const char kStopAfterRange[] = "Please enter Off, a choice from the list or a time h:mm between 0:01 and 23:59.";

const char kTwentyMinutes[] = "[SleepTimer]\nStopAfterMinutes=20\n";

class SleepTimerPreferences : public SleepTimer, public testing::WithParamInterface<PreferencesFile>
{};

// A preferences file that is no file, or too big to be one, is skipped with
// a message on stderr and left as it was; the window opens all the same.
TEST_P(SleepTimerPreferences, OnlyASmallRegularFileIsReadOrWritten)
{
    const std::string path = Folder() + "preferences.ini";
    GetParam().make(path);
    struct stat status
    {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    const std::string before = S_ISREG(status.st_mode) ? ReadAll(path) : "";
    testing::internal::CaptureStderr();
    CMainDlg& d = Start();
    Button(d, IDC_GLIDE)->setChecked(true);
    d.OnExit();
    const std::string err = testing::internal::GetCapturedStderr();
    if (GetParam().problem[0] == '\0')
    {
        EXPECT_EQ(Text(d, IDC_SLEEP_STOP_AFTER), "0:20");
        EXPECT_EQ(err.find("preferences"), std::string::npos) << err;
        return;
    }
    const std::string message =
        "susurra: " + path + ": " + GetParam().problem + "; the preferences are not read or written\n";
    EXPECT_NE(err.find(message), std::string::npos) << err;
    EXPECT_EQ(Text(d, IDC_SLEEP_STOP_AFTER), "Off");
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    if (S_ISREG(status.st_mode))
        EXPECT_TRUE(ReadAll(path) == before) << "the file was changed";
    else
        EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

INSTANTIATE_TEST_SUITE_P(
    Files, SleepTimerPreferences,
    testing::Values(PreferencesFile{"Ordinary", [](const std::string& path) { std::ofstream(path) << kTwentyMinutes; },
                                    ""},
                    PreferencesFile{"NamedPipe", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); },
                                    "not a regular file"},
                    PreferencesFile{"TooLarge",
                                    [](const std::string& path) {
                                        std::ofstream out(path);
                                        out << kTwentyMinutes;
                                        for (int i = 0; i < 65536 / 8; ++i)
                                            out << "; 45678\n";
                                    },
                                    "larger than 65536 bytes"},
                    PreferencesFile{"LongLine",
                                    [](const std::string& path) {
                                        std::ofstream(path)
                                            << kTwentyMinutes << "Glide=" << std::string(1020, '1') << "\n";
                                    },
                                    "a line longer than 1024 bytes"}),
    RowName());

struct TypedValue
{
    const char* name;
    const char* keys;
    const char* countdown; // after leaving the field
    bool refused;          // with the range message
};

class SleepTimerTyping : public SleepTimer, public testing::WithParamInterface<TypedValue>
{};

// While "1 h" counts down, a value is typed key by key: nothing is completed
// and nothing counts until the field is left; then a good value counts anew
// and a bad one gets the range message and leaves the count alone.
TEST_P(SleepTimerTyping, TheFieldTakesAValueOnlyWhenItIsLeftAndValid)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_SLEEP_STOP_AFTER, "1 h"}});
    d.OnPlay();
    TypeKeys(d, IDC_SLEEP_STOP_AFTER, GetParam().keys, true);
    EXPECT_EQ(Text(d, IDC_SLEEP_STOP_AFTER), GetParam().keys);
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 1:00:00");
    EXPECT_TRUE(m_messages.Texts().isEmpty());

    Button(d, IDC_SLEEP_QUIT)->setFocus();
    Settle();
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), GetParam().countdown);
    EXPECT_EQ(m_messages.Texts(), GetParam().refused ? QStringList{kStopAfterRange} : QStringList{});
    EXPECT_EQ(d.GetDlgItemAs<CComboCtrl>(IDC_SLEEP_STOP_AFTER)->GetCount(), 11) << "nothing added to the list";
}

// Enter takes the value as leaving the field does, and the window stays.
TEST_F(SleepTimer, EnterInATimerFieldTakesItsValueAndKeepsTheWindow)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_SLEEP_STOP_AFTER, "1 h"}});
    d.OnPlay();
    TypeKeys(d, IDC_SLEEP_STOP_AFTER, "0:30", true);
    QTest::keyClick(d.GetDlgItemAs<CComboCtrl>(IDC_SLEEP_STOP_AFTER)->lineEdit(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "stops in 0:30:00");
    TypeKeys(d, IDC_SLEEP_FADE_OUT, "7", true);
    QTest::keyClick(Edit(d, IDC_SLEEP_FADE_OUT), Qt::Key_Enter);
    Settle();
    EXPECT_EQ(d.m_sleepFadeMinutes, 7);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.IsPlaying());
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Values, SleepTimerTyping,
                         testing::Values(TypedValue{"OneIsNotFifteen", "1", "stops in 1:00:00", true},
                                         TypedValue{"FourIsNotFortyFive", "4", "stops in 1:00:00", true},
                                         TypedValue{"HalfATime", "1:5", "stops in 1:00:00", true},
                                         TypedValue{"ATime", "1:05", "stops in 1:05:00", false},
                                         TypedValue{"AChoice", "45 min", "stops in 0:45:00", false},
                                         TypedValue{"TheSameAgain", "1 h", "stops in 1:00:00", false}),
                         RowName());

struct BadValue
{
    const char* name;
    int id;
    const char* text;
    const char* message;
};

class SleepTimerValidation : public SleepTimer, public testing::WithParamInterface<BadValue>
{};

TEST_P(SleepTimerValidation, OutOfRangeValuesAreRefusedNamingTheRange)
{
    CMainDlg& d = Start();
    Type(d, {{GetParam().id, GetParam().text}});
    d.OnPlay();
    EXPECT_EQ(m_messages.Texts(), QStringList{GetParam().message});
    EXPECT_FALSE(d.SleepTimerRunning());
}

INSTANTIATE_TEST_SUITE_P(Values, SleepTimerValidation,
                         testing::Values(BadValue{"StopAfterPastADay", IDC_SLEEP_STOP_AFTER, "24:00", kStopAfterRange},
                                         BadValue{"StopAfterNoTime", IDC_SLEEP_STOP_AFTER, "0:00", kStopAfterRange},
                                         BadValue{"StopAfterWords", IDC_SLEEP_STOP_AFTER, "soon", kStopAfterRange},
                                         BadValue{"FadeOutOverAnHour", IDC_SLEEP_FADE_OUT, "61",
                                                  "Please enter a number between 0 and 60."},
                                         BadValue{"FadeInOverAMinute", IDC_FADE_IN_AT_PLAY, "61",
                                                  "Please enter a number between 0 and 60."}),
                         RowName());

TEST_F(SleepTimer, FadeInAtPlayRisesFromSilence)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_FADE_IN_AT_PLAY, "2"}, {IDC_SURF_STRENGTH, "0"}});
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
    CMainDlg& d = Start();
    Button(d, IDC_GLIDE)->setChecked(true);
    Type(d, {{IDC_SURF_STRENGTH, "0"}});
    d.OnPlay();
    ASSERT_TRUE(m_waveOut.CompleteNext());
    const std::vector<int16_t> before(d.m_synth.m_source.get(), d.m_synth.m_source.get() + 262144);
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(1)->click(); // white noise
    d.OnPlay();
    EXPECT_EQ(m_waveOut.CountCalls("Reset"), 0);
    EXPECT_TRUE(d.IsPlaying());

    ASSERT_TRUE(m_waveOut.CompleteNext());
    const int16_t* played = d.Engine().PlayBuffer() + 131072;
    const int16_t* after = d.m_synth.m_source.get() + 131072;
    for (int k = 0; k < 44100; ++k)
        ASSERT_EQ(played[k], FadeCurve::GlideMix(before[131072 + k], after[k], k / 44100.0)) << k;
    for (int k = 44100; k < 131072; ++k)
        ASSERT_EQ(played[k], after[k]) << k;
}

} // namespace
