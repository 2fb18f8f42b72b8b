// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_store.h"
#include "settings/setting_text.h"

#include "tests/app/main_dlg_window_fixture.h"
#include "testing/file_compare.h"
#include "testing/ui/recording_help_command.h"
#include "ui/controls/progress_ctrl.h"
#include "ui/controls/slider_ctrl.h"

#include <QLabel>
#include <QProcess>
#include <QTimer>

namespace
{

// Records every text the status line paints.
class CStatusRecorder : public QObject
{
public:
    explicit CStatusRecorder(QLabel* label) : m_label(label) { label->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && (m_shown.isEmpty() || m_shown.last() != m_label->text()))
            m_shown.append(m_label->text());
        return false;
    }

    QStringList m_shown;

private:
    QLabel* m_label;
};

using MainDlg = MainWindowTest;

TEST_F(MainDlg, FirstStartAppliesEasyBaySurfAndStandardCd)
{
    CMainDlg& d = Start();

    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(d.windowTitle(), "Susurra - Denoise by Noise");
    ASSERT_EQ(d.m_noiseSettingCombo->GetCount(), 7);
    EXPECT_EQ(d.m_noiseSettingCombo->GetCurSel(), 0);
    EXPECT_EQ(d.m_noiseSettingCombo->GetLBText(0), "Easy Bay Surf");
    EXPECT_EQ(d.m_fileSettingCombo->GetLBText(d.m_fileSettingCombo->GetCurSel()), "Standard CD");

    const std::pair<int, QString> shown[] = {
        {IDC_LOWER_LIMIT, "100"},  {IDC_UPPER_LIMIT, "20000"},    {IDC_SURF_STRENGTH, "30"},
        {IDC_SURF_PERIOD, "20"},   {IDC_TINNITUS_FREQ, "440"},    {IDC_FADE_IN, "10"},
        {IDC_FADE_OUT, "10"},      {IDC_FILE_NAME, ""},           {IDC_STATUS, "nothing to do"},
        {IDC_EXIT, "E&xit"},       {IDC_SLEEP_STOP_AFTER, "Off"}, {IDC_SLEEP_FADE_OUT, "10"},
        {IDC_FADE_IN_AT_PLAY, "0"}};
    for (const auto& [id, text] : shown)
        EXPECT_EQ(Text(d, id), text) << id;
    EXPECT_TRUE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(2)->isChecked());
    EXPECT_FALSE(Button(d, IDC_SLEEP_QUIT)->isChecked());
    EXPECT_FALSE(Button(d, IDC_GLIDE)->isChecked());
    EXPECT_EQ(d.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->time(), QTime(1, 19, 0));
    EXPECT_EQ(d.m_freqSlider->GetPos(), 6087);
    EXPECT_EQ(d.m_volumeSlider->GetPos(), 9);

    // Only the devices that take the format are listed; the first is open and
    // got the slider's volume when the slider first painted.
    ASSERT_EQ(d.m_deviceCombo->GetCount(), 2);
    EXPECT_EQ(d.m_deviceCombo->GetLBText(1), "Headphones");
    EXPECT_TRUE(m_waveOut.IsOpen());
    EXPECT_EQ(m_waveOut.OpenDevice(), 0u);
    EXPECT_EQ(m_waveOut.Volume(), 0x05010501u);
}

TEST_F(MainDlg, FrequencyEditAndSliderFollowEachOther)
{
    CMainDlg& d = Start();
    QLineEdit* edit = Edit(d, IDC_TINNITUS_FREQ);

    edit->setText("25000");
    EXPECT_EQ(edit->text(), "20000");
    EXPECT_EQ(d.m_tinnitusFreq, 20000);
    EXPECT_EQ(d.m_freqSlider->GetPos(), 9903);

    d.m_freqSlider->setValue(2996);
    Settle();
    EXPECT_EQ(edit->text(), "20");
    d.m_freqSlider->setValue(9903);
    Settle();
    EXPECT_EQ(edit->text(), "19990");
    EXPECT_EQ(d.m_tinnitusFreq, 19990);

    // A value that survives the round trip stays; one that does not is
    // replaced at the next repaint.
    edit->setText("440");
    EXPECT_EQ(d.m_freqSlider->GetPos(), 6087);
    d.m_freqSlider->repaint();
    EXPECT_EQ(edit->text(), "440");
    edit->setText("19999");
    EXPECT_EQ(d.m_freqSlider->GetPos(), 9903);
    EXPECT_EQ(edit->text(), "19999");
    d.m_freqSlider->repaint();
    EXPECT_EQ(edit->text(), "19990");

    // Typing after a repaint that changed nothing is never swallowed.
    d.m_freqSlider->repaint();
    edit->setText("1000");
    EXPECT_EQ(d.m_freqSlider->GetPos(), 6908);

    edit->setText("");
    EXPECT_EQ(d.m_freqSlider->GetPos(), 2996);
    EXPECT_EQ(d.m_tinnitusFreq, 0);
    EXPECT_FALSE(d.UpdateData(true));
    EXPECT_EQ(m_messages.Texts(), QStringList{"Please enter an integer."});
}

TEST_F(MainDlg, ValidationNamesEachBadValueAndFocusesIt)
{
    CMainDlg& d = Start();
    struct Case
    {
        int id;
        QString text;
        QString message;
    };
    const Case cases[] = {
        {IDC_LOWER_LIMIT, "5", "Please enter a number between 20 and 20000."},
        {IDC_UPPER_LIMIT, "abc", "Please enter a number."},
        {IDC_SURF_STRENGTH, "100.5", "Please enter a number between 0 and 100."},
        {IDC_FADE_IN, "-1", "Please enter a number between 0 and 1000."},
        {IDC_FADE_OUT, "1e999", "Please enter a number between 0 and 1000."},
        {IDC_SURF_PERIOD, "10001", "Please enter a number between 0 and 10000."},
        {IDC_TINNITUS_FREQ, "440.5", "Please enter an integer."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.id);
        m_messages.m_messages.clear();
        const QString good = Text(d, c.id);
        Edit(d, c.id)->setText(c.text);
        EXPECT_FALSE(d.UpdateData(true));
        EXPECT_EQ(m_messages.Texts(), QStringList{c.message});
        EXPECT_EQ(d.focusWidget(), Edit(d, c.id));
        Edit(d, c.id)->setText(good);
    }
    Edit(d, IDC_FILE_NAME)->setText(QString(255, 'a'));
    EXPECT_TRUE(d.UpdateData(true));

    // Painting the volume slider reads every control without a word: a bad
    // value keeps its member, the others are taken.
    const int shown = static_cast<int>(m_messages.m_messages.size());
    Edit(d, IDC_LOWER_LIMIT)->setText("5");
    Edit(d, IDC_SURF_STRENGTH)->setText("55");
    d.m_volumeSlider->setValue(230);
    d.m_volumeSlider->repaint();
    EXPECT_EQ(m_messages.m_messages.size(), shown);
    EXPECT_EQ(d.m_lowerLimit, 100.0);
    EXPECT_EQ(d.m_surfStrength, 55.0);
    EXPECT_EQ(m_waveOut.Volume(), 32731u | (32731u << 16));
}

TEST_F(MainDlg, AsTheProgramOpensItTheWindowShowsBeforeTheDevicesAreListed)
{
    CMainDlg& d = Start(true);
    auto* devices = d.GetDlgItemAs<CComboCtrl>(IDC_SOUND_DEVICE);
    EXPECT_EQ(devices->GetCount(), 0);
    EXPECT_EQ(m_waveOut.CountCalls("Devices"), 0);

    d.OnSoundReady();
    EXPECT_EQ(Entries(devices), (QStringList{"Speakers", "Headphones"}));
    EXPECT_TRUE(m_waveOut.IsOpen());
    d.OnSoundReady();
    EXPECT_EQ(m_waveOut.CountCalls("Devices"), 1) << "listed once";
}

TEST_F(MainDlg, PlayPressedBeforeTheDevicesAreListedListsThemAndPlays)
{
    CMainDlg& d = Start(true);
    d.OnPlay();
    EXPECT_EQ(d.GetDlgItemAs<CComboCtrl>(IDC_SOUND_DEVICE)->GetCount(), 2);
    EXPECT_TRUE(d.IsPlaying());
    EXPECT_EQ(m_waveOut.Queued().size(), 2u);
}

TEST_F(MainDlg, WithoutADeviceTheMessageComesOverTheShownWindow)
{
    m_waveOut.SetDevices({});
    CMainDlg& d = Start(true);
    EXPECT_TRUE(m_messages.m_messages.isEmpty());
    EXPECT_TRUE(d.isVisible());
    d.OnSoundReady();
    ASSERT_EQ(m_messages.m_messages.size(), 1);
    EXPECT_EQ(m_messages.m_messages[0].text, "No audio mixer device found");
}

TEST_F(MainDlg, PlayStopAndDeviceChangeReachTheDevice)
{
    CMainDlg& d = Start();
    CStatusRecorder status(d.GetDlgItemAs<QLabel>(IDC_STATUS));

    d.OnPlay();
    EXPECT_EQ(status.m_shown, (QStringList{"generating noise signal", "playing"}));
    EXPECT_TRUE(d.IsPlaying());
    EXPECT_EQ(d.m_generatorProgress->GetPos(), 100);
    EXPECT_EQ(m_waveOut.Queued().size(), 2u);
    EXPECT_EQ(d.Engine().Header(0).bufferLengthBytes, 262144u) << "no fade in at Play, no sleep timer";
    EXPECT_EQ(Text(d, IDC_SLEEP_COUNTDOWN), "");
    EXPECT_TRUE(m_waveOut.CompleteNext());
    EXPECT_EQ(m_waveOut.CountCalls("Write"), 3);

    // Nothing changed: the second Play leaves the sound alone.
    d.OnPlay();
    EXPECT_EQ(m_waveOut.CountCalls("Write"), 3);
    EXPECT_EQ(m_waveOut.CountCalls("Reset"), 0);

    d.OnStop();
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do");
    EXPECT_TRUE(m_waveOut.Queued().empty());

    d.OnPlay();
    EXPECT_EQ(Text(d, IDC_STATUS), "playing");
    Choose(d.m_deviceCombo, 1);
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do");
    EXPECT_EQ(m_waveOut.OpenDevice(), 2u); // "Headphones" is device 2

    // The device fails while playing: the timer's check stops cleanly.
    d.OnPlay();
    m_waveOut.BreakDevice();
    d.OnCheckDevice();
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

TEST_F(MainDlg, AnotherTypeWhilePlayingRegeneratesOnPlay)
{
    CMainDlg& d = Start();
    d.OnPlay();
    CStatusRecorder status(d.GetDlgItemAs<QLabel>(IDC_STATUS));

    // The type just played, with its signal valid, keeps the signal.
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(2)->click();
    EXPECT_EQ(d.m_generatorProgress->GetPos(), 100);
    EXPECT_TRUE(d.m_synth.m_ready);

    d.RadioGroup(IDC_PHYSIOLOGICAL).at(1)->click();
    EXPECT_EQ(d.m_generatorProgress->GetPos(), 0);
    EXPECT_TRUE(d.IsPlaying()); // the old signal plays on until Play
    d.OnPlay();
    EXPECT_EQ(status.m_shown, (QStringList{"generating noise signal", "playing"}));
    EXPECT_EQ(d.Engine().PlayedType(), 1);
    EXPECT_EQ(m_waveOut.CountCalls("Reset"), 1);
    EXPECT_EQ(m_waveOut.CountCalls("Open"), 2);

    // Choosing a setting of another type while playing restarts at once.
    status.m_shown.clear();
    Choose(d.m_noiseSettingCombo, 2); // "Rainforest Waterfall"
    EXPECT_EQ(status.m_shown, (QStringList{"generating noise signal", "playing"}));
    EXPECT_EQ(d.Engine().PlayedType(), 0);

    // To File with a stale signal while playing makes it while the device waits.
    ShortFile(d);
    Type(d, {{IDC_LOWER_LIMIT, "200"}, {IDC_FILE_NAME, PathIn("white.wav")}});
    status.m_shown.clear();
    d.OnToFile();
    EXPECT_EQ(status.m_shown, (QStringList{"generating noise signal", "writing sound file", "playing"}));
    EXPECT_TRUE(QFile::exists(PathIn("white.wav")));
    EXPECT_TRUE(d.IsPlaying());
    EXPECT_TRUE(m_waveOut.CompleteNext());

    // A tone made by To File while noise plays is played in the tone's own
    // halves, not read through the noise layout.
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(3)->click();
    Edit(d, IDC_FILE_NAME)->setText(PathIn("tone.wav"));
    d.OnToFile();
    EXPECT_EQ(d.Engine().PlayedType(), 3);
    EXPECT_EQ(d.Engine().Header(0).bufferLengthBytes, 44100u);
    EXPECT_EQ(d.Engine().PlayBuffer()[0], 0); // the tone starts at phase 0, counter 0
    EXPECT_TRUE(d.IsPlaying());
    EXPECT_EQ(Text(d, IDC_STATUS), "playing");
}

TEST_F(MainDlg, ToFileWithoutANameAsksForOneAndWritesWhatTheCommandLineRenders)
{
    CMainDlg& d = Start();
    ShortFile(d);

    m_chooser.m_answers = {std::nullopt};
    ASSERT_FALSE(d.m_synth.m_ready); // the signal is made first, then the chooser is cancelled
    d.OnToFile();
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do") << "a cancelled choice leaves no stale status";
    ASSERT_EQ(m_chooser.m_offered.size(), 1);
    EXPECT_EQ(m_chooser.m_offered[0].initialName, "noise.wav");
    EXPECT_EQ(m_chooser.m_offered[0].filterName, "Microsoft wave format (*.wav)");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(Text(d, IDC_FILE_NAME), "");
    EXPECT_TRUE(Files().isEmpty());

    // A path the writer cannot hold whole is refused, never cut.
    const QString tooLong = PathIn(QString(260, 'x') + ".wav");
    m_chooser.m_answers = {tooLong};
    d.OnToFile();
    ASSERT_EQ(m_messages.m_messages.size(), 1);
    EXPECT_TRUE(m_messages.m_messages[0].text.contains("too long"));
    EXPECT_EQ(Text(d, IDC_FILE_NAME), "");

    CStatusRecorder status(d.GetDlgItemAs<QLabel>(IDC_STATUS));
    CStatusRecorder paints(d.GetDlgItemAs<QLabel>(IDC_FREQ_LABEL));
    bool busyCursor = false;
    // Runs from inside the work, as an exposure of the window would.
    QTimer::singleShot(0, &d, [&] {
        busyCursor =
            QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        d.GetDlgItem(IDC_FREQ_LABEL)->update();
    });
    const QString path = PathIn("chosen.wav");
    m_chooser.m_answers = {path};
    d.OnToFile();
    EXPECT_EQ(Text(d, IDC_FILE_NAME), path);
    EXPECT_EQ(d.m_savingProgress->GetPos(), 100);
    // The signal was still valid: it is not made again.
    EXPECT_EQ(status.m_shown, (QStringList{"writing sound file", "nothing to do"}));
    // The window painted before the work ended, with no event loop of the
    // test's own, and showed the busy cursor only meanwhile.
    EXPECT_TRUE(busyCursor);
    EXPECT_EQ(paints.m_shown.size(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The first file of the run is the command line's, byte for byte.
    QProcess cli;
    cli.start(SUSURRA_CLI_PATH,
              {"render", "--quiet", "--type", "pink", "--lower", "100", "--upper", "20000", "--surf-strength", "30",
               "--surf-period", "20", "--fade-in", "1", "--fade-out", "0", "--length", "00:00:02", PathIn("cli.wav")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(Bytes("chosen.wav").size(), 44u + 2 * 2 * 44100);
    EXPECT_TRUE(SameBytes(Bytes("chosen.wav"), Bytes("cli.wav")));
}

TEST_F(MainDlg, ExitWritesBothFilesEvenWhenAValueIsBad)
{
    CMainDlg& d = Start();
    Edit(d, IDC_SURF_PERIOD)->setText("20000");
    d.OnExit();
    EXPECT_EQ(m_messages.Texts(), QStringList{"Please enter a number between 0 and 10000."});
    EXPECT_EQ(Files(), (QStringList{"fs.srx", "ns.srx"}));
    EXPECT_TRUE(d.isVisible());

    QFile::remove(PathIn("ns.srx"));
    QFile::remove(PathIn("fs.srx"));
    Edit(d, IDC_SURF_PERIOD)->setText("25");
    d.OnExit();
    EXPECT_EQ(Files(), (QStringList{"fs.srx", "ns.srx"})) << "and no preferences file while the new options are off";
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.EndCode(), IDOK);
}

TEST_F(MainDlg, AFailedSaveIsReported)
{
    QFile blocker(PathIn("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CMainDlg dialog(m_waveOut, PathIn("blocker").toStdString() + "/");
    dialog.ShowWindow(true);
    // Unreadable (not missing) files are named at start...
    ASSERT_EQ(m_messages.m_messages.size(), 2);
    EXPECT_TRUE(m_messages.m_messages[0].text.startsWith("I can't open "))
        << m_messages.m_messages[0].text.toStdString();
    EXPECT_EQ(m_messages.m_messages[0].caption, "Warning");
    // ...and a save that fails is never passed over in silence.
    dialog.OnExit();
    ASSERT_EQ(m_messages.m_messages.size(), 4);
    EXPECT_TRUE(m_messages.m_messages[3].text.startsWith("I can't create the folder "));
    EXPECT_EQ(dialog.EndCode(), IDOK);
}

TEST_F(MainDlg, SavedSettingsAndSelectionsPersistAcrossExitButNotEscapeOrTheCloseBox)
{
    {
        CMainDlg& d = Start();
        Choose(d.m_noiseSettingCombo, 2); // "Rainforest Waterfall"
        EXPECT_TRUE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(0)->isChecked());
        Edit(d, IDC_SURF_STRENGTH)->setText("45");
        Button(d, IDC_NOISE_SAVE_SETTING)->click();
        ASSERT_TRUE(d.m_saveSetDlg.isVisible());
        d.m_saveSetDlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME)->setText("Night");
        d.m_saveSetDlg.OnSave();
        EXPECT_FALSE(d.m_saveSetDlg.isVisible());
        EXPECT_EQ(d.m_noiseSettingCombo->GetLBText(d.m_noiseSettingCombo->GetCurSel()), "Night");
        d.OnExit();
    }
    {
        CMainDlg& d = Start();
        EXPECT_EQ(d.m_noiseSettingCombo->GetCount(), 8);
        EXPECT_EQ(d.m_noiseSettingCombo->GetLBText(d.m_noiseSettingCombo->GetCurSel()), "Night");
        EXPECT_TRUE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(0)->isChecked());
        EXPECT_EQ(Text(d, IDC_SURF_STRENGTH), "45");
        Choose(d.m_noiseSettingCombo, 7);
        QFile::remove(PathIn("ns.srx"));
        d.OnPlay();
        d.close();
        EXPECT_FALSE(d.isVisible());
    }
    // The close box wrote nothing; destroying the window stopped the sound
    // and closed the device.
    m_dialog.reset();
    EXPECT_FALSE(QFile::exists(PathIn("ns.srx")));
    EXPECT_FALSE(m_waveOut.IsOpen());
    CMainDlg& d = Start();
    EXPECT_EQ(d.m_noiseSettingCombo->GetCurSel(), 0);
    Choose(d.m_noiseSettingCombo, 6);
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_EQ(d.EndCode(), IDCANCEL);
    EXPECT_FALSE(QFile::exists(PathIn("ns.srx")));
}

TEST_F(MainDlg, BrownIsTheFifthTypeAndASavedBrownSettingIsPinkWithItsFlag)
{
    {
        CMainDlg& d = Start();
        auto* brown = d.GetDlgItemAs<QAbstractButton>(IDC_BROWN);
        ASSERT_NE(brown, nullptr);
        EXPECT_EQ(brown->text(), "Brown Noise");
        ASSERT_EQ(d.RadioGroup(IDC_PHYSIOLOGICAL).size(), 5);
        EXPECT_EQ(d.RadioGroup(IDC_PHYSIOLOGICAL).at(4), brown);
        brown->click();
        EXPECT_FALSE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(2)->isChecked());
        d.OnPlay();
        EXPECT_EQ(d.Engine().PlayedType(), 4);
        Button(d, IDC_NOISE_SAVE_SETTING)->click();
        d.m_saveSetDlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME)->setText("Deep");
        d.m_saveSetDlg.OnSave();
        d.OnExit();
    }
    // Offset 0 of a record is its type, 40 its name, 90..95 the option block.
    const std::string bytes = Bytes("ns.srx");
    const std::size_t name = bytes.find(std::string("Deep\0", 5));
    ASSERT_NE(name, std::string::npos);
    ASSERT_GE(name, 12u + 40u);
    const std::size_t record = name - 40;
    EXPECT_EQ(bytes[record], 2) << "a reader that knows no brown plays pink";
    EXPECT_TRUE(SameBytes(bytes.substr(record + 90, 6), std::string("Sx\x01\x04\x00\xE1", 6)));

    CMainDlg& d = Start();
    EXPECT_EQ(d.m_noiseSettingCombo->GetLBText(d.m_noiseSettingCombo->GetCurSel()), "Deep");
    EXPECT_TRUE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(4)->isChecked());
    Choose(d.m_noiseSettingCombo, 1); // sorted after "Deep": "Easy Bay Surf", pink as it always was
    EXPECT_TRUE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(2)->isChecked());
}

TEST_F(MainDlg, DamagedSelectionAndFrequencyFallBackSafely)
{
    CSettingsStore store(Folder());
    store.SetUp();
    NoiseSetting& zero = store.m_noiseSettings.m_slots[7];
    zero = store.m_noiseSettings.m_slots[0];
    StoreName(zero.name, "Zero Tone");
    zero.noiseType = 3;
    zero.tinnitusFrequency = 0;
    ASSERT_TRUE(store.SaveSettingsFile(SettingsKind::Noise, 99));

    CMainDlg& d = Start();
    EXPECT_EQ(d.m_noiseSettingCombo->GetCurSel(), 0); // beyond the end: the first entry
    EXPECT_EQ(Text(d, IDC_SURF_STRENGTH), "30");

    Choose(d.m_noiseSettingCombo, d.m_noiseSettingCombo->FindStringExact(-1, "Zero Tone"));
    EXPECT_EQ(d.m_freqSlider->GetPos(), 2996);
    EXPECT_EQ(m_messages.Texts(), QStringList{"Please enter a number between 20 and 20000."});
}

TEST_F(MainDlg, WithoutAUsableDevicePlayDoesNothing)
{
    m_waveOut.SetDevices({{"Old card", false}});
    CRecordingHelpCommand help;
    CScopedDialogServices helpService(nullptr, nullptr, &help);
    CMainDlg& d = Start();
    EXPECT_EQ(m_messages.Texts(), QStringList{"No audio mixer device found"});
    EXPECT_EQ(m_messages.m_messages[0].caption, "Warning");
    d.OnPlay();
    EXPECT_FALSE(d.IsPlaying());
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do");
    EXPECT_EQ(m_waveOut.CountCalls("Write"), 0);

    Button(d, ID_HELP)->click();
    EXPECT_EQ(help.m_requests, 1);
}

TEST_F(MainDlg, ThePlayingToneFollowsTheFrequencyButNotMereRepaints)
{
    CMainDlg& d = Start();
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(3)->click();
    d.OnPlay();
    ASSERT_EQ(d.Engine().PlayedType(), TinnitusFinder);
    const int resets = m_waveOut.CountCalls("Reset");

    Edit(d, IDC_TINNITUS_FREQ)->setText("1000");
    EXPECT_EQ(m_waveOut.CountCalls("Reset"), resets + 1);
    d.m_freqSlider->repaint();
    EXPECT_EQ(m_waveOut.CountCalls("Reset"), resets + 1);
    d.m_freqSlider->setValue(7000);
    d.m_freqSlider->repaint();
    EXPECT_EQ(Text(d, IDC_TINNITUS_FREQ), "1097");
    EXPECT_EQ(m_waveOut.CountCalls("Reset"), resets + 2);
    EXPECT_TRUE(d.IsPlaying());
    EXPECT_EQ(m_waveOut.Queued().size(), 2u);
}

} // namespace
