// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/combo_ctrl.h"
#include "ui/services/dialog_services.h"
#include "app/main_dlg.h"
#include "ui/controls/progress_ctrl.h"
#include "app/resource_ids.h"
#include "ui/controls/slider_ctrl.h"
#include "testing/file_compare.h"
#include "testing/ui/recording_help_command.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/scripted_save_file_dialog.h"
#include "testing/fake_wave_out.h"
#include "testing/ui/qt_test_app.h"
#include "settings/settings_store.h"
#include "settings/setting_text.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <memory>

namespace
{

// Records every text the status line paints.
class CStatusRecorder : public QObject
{
public:
    explicit CStatusRecorder(QLabel* label)
        : m_label(label)
    {
        label->installEventFilter(this);
    }

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

class MainDlg : public QtTest
{
protected:
    MainDlg()
    {
        m_waveOut.SetDevices({{"Speakers", true}, {"Old card", false}, {"Headphones", true}});
    }

    std::unique_ptr<CMainDlg> Start()
    {
        auto dialog = std::make_unique<CMainDlg>(m_waveOut, Folder());
        dialog->ShowWindow(true);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        Settle();
        return dialog;
    }

    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    std::string Folder() const { return m_folder.path().toStdString() + "/"; }
    QString PathIn(const QString& name) const { return m_folder.filePath(name); }

    static QLineEdit* Edit(CMainDlg& dialog, int id) { return dialog.GetDlgItemAs<QLineEdit>(id); }
    static QString Text(CMainDlg& dialog, int id) { return dialog.GetDlgItemText(id); }

    // The user picks entry `entry` of a list.
    static void Choose(CComboCtrl* combo, int entry)
    {
        combo->setCurrentIndex(entry);
        emit combo->activated(entry);
    }

    // A short file: 2 s, faded in over 1 s and not faded out.
    static void ShortFile(CMainDlg& dialog)
    {
        Edit(dialog, IDC_FADE_IN)->setText("1");
        Edit(dialog, IDC_FADE_OUT)->setText("0");
        dialog.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->setTime(QTime(0, 0, 2));
    }

    QTemporaryDir m_folder;
    CFakeWaveOut m_waveOut;
    CRecordingMessageBox m_messages;
    CScriptedSaveFileDialog m_chooser;
    CScopedDialogServices m_services{&m_messages, &m_chooser};
};

TEST_F(MainDlg, FirstStartAppliesEasyBaySurfAndStandardCd)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;

    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(d.windowTitle(), "Susurra - Denoise by Noise");
    ASSERT_EQ(d.m_noiseSettingCombo->GetCount(), 7);
    EXPECT_EQ(d.m_noiseSettingCombo->GetCurSel(), 0);
    EXPECT_EQ(d.m_noiseSettingCombo->GetLBText(0), "Easy Bay Surf");
    EXPECT_EQ(d.m_fileSettingCombo->GetLBText(d.m_fileSettingCombo->GetCurSel()), "Standard CD");

    const std::pair<int, QString> shown[] = {
        {IDC_LOWER_LIMIT, "100"}, {IDC_UPPER_LIMIT, "20000"}, {IDC_SURF_STRENGTH, "30"}, {IDC_SURF_PERIOD, "20"},
        {IDC_TINNITUS_FREQ, "440"}, {IDC_FADE_IN, "10"}, {IDC_FADE_OUT, "10"}, {IDC_FILE_NAME, ""},
        {IDC_STATUS, "nothing to do"}, {IDC_EXIT, "Exit"}};
    for (const auto& [id, text] : shown)
        EXPECT_EQ(Text(d, id), text) << id;
    EXPECT_TRUE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(2)->isChecked());
    EXPECT_EQ(d.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->time(), QTime(1, 19, 0));
    EXPECT_EQ(d.m_freqSlider->GetPos(), 6087);
    EXPECT_EQ(d.m_volumeSlider->GetPos(), 9);
    for (QWidget* control : d.Controls())
        EXPECT_TRUE(d.rect().contains(control->geometry())) << control->objectName().toStdString();

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
    auto dialog = Start();
    CMainDlg& d = *dialog;
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

TEST_F(MainDlg, ValidationNamesTheFirstBadValueAndFocusesIt)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
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
    // Two bad values: the first in the exchange order is named.
    Edit(d, IDC_UPPER_LIMIT)->setText("25000");
    Edit(d, IDC_SURF_STRENGTH)->setText("150");
    EXPECT_FALSE(d.UpdateData(true));
    EXPECT_EQ(m_messages.m_messages.last().text, "Please enter a number between 20 and 20000.");
    EXPECT_EQ(d.focusWidget(), Edit(d, IDC_UPPER_LIMIT));
    Edit(d, IDC_UPPER_LIMIT)->setText("8000");
    Edit(d, IDC_SURF_STRENGTH)->setText("50");
    Edit(d, IDC_FILE_NAME)->setText(QString(255, 'a'));
    EXPECT_TRUE(d.UpdateData(true));
    EXPECT_EQ(d.m_upperLimit, 8000.0);

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

TEST_F(MainDlg, PlayStopAndDeviceChangeReachTheDevice)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    CStatusRecorder status(d.GetDlgItemAs<QLabel>(IDC_STATUS));

    d.OnPlay();
    EXPECT_EQ(status.m_shown, (QStringList{"generating noise signal", "playing"}));
    EXPECT_TRUE(d.IsPlaying());
    EXPECT_EQ(d.m_generatorProgress->GetPos(), 100);
    EXPECT_EQ(m_waveOut.Queued().size(), 2u);
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
    EXPECT_EQ(m_waveOut.OpenDevice(), 2u);  // "Headphones" is device 2

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
    auto dialog = Start();
    CMainDlg& d = *dialog;
    d.OnPlay();
    CStatusRecorder status(d.GetDlgItemAs<QLabel>(IDC_STATUS));

    // The type just played, with its signal valid, keeps the signal.
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(2)->click();
    EXPECT_EQ(d.m_generatorProgress->GetPos(), 100);
    EXPECT_TRUE(d.m_synth.m_ready);

    d.RadioGroup(IDC_PHYSIOLOGICAL).at(1)->click();
    EXPECT_EQ(d.m_generatorProgress->GetPos(), 0);
    EXPECT_TRUE(d.IsPlaying());  // the old signal plays on until Play
    d.OnPlay();
    EXPECT_EQ(status.m_shown, (QStringList{"generating noise signal", "playing"}));
    EXPECT_EQ(d.Engine().PlayedType(), 1);
    EXPECT_EQ(m_waveOut.CountCalls("Reset"), 1);
    EXPECT_EQ(m_waveOut.CountCalls("Open"), 2);

    // Choosing a setting of another type while playing restarts at once.
    status.m_shown.clear();
    Choose(d.m_noiseSettingCombo, 2);  // "Rainforest Waterfall"
    EXPECT_EQ(status.m_shown, (QStringList{"generating noise signal", "playing"}));
    EXPECT_EQ(d.Engine().PlayedType(), 0);

    // To File with a stale signal while playing makes it while the device waits.
    Edit(d, IDC_LOWER_LIMIT)->setText("200");
    ShortFile(d);
    Edit(d, IDC_FILE_NAME)->setText(PathIn("white.wav"));
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
    EXPECT_EQ(d.Engine().PlayBuffer()[0], 0);  // the tone starts at phase 0, counter 0
    EXPECT_TRUE(d.IsPlaying());
    EXPECT_EQ(Text(d, IDC_STATUS), "playing");
}

TEST_F(MainDlg, ToFileWithoutANameAsksForOneAndWritesWhatTheCommandLineRenders)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    ShortFile(d);

    m_chooser.m_answers = {std::nullopt};
    ASSERT_FALSE(d.m_synth.m_ready);  // the signal is made first, then the chooser is cancelled
    d.OnToFile();
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do") << "a cancelled choice leaves no stale status";
    ASSERT_EQ(m_chooser.m_offered.size(), 1);
    EXPECT_EQ(m_chooser.m_offered[0].initialName, "noise.wav");
    EXPECT_EQ(m_chooser.m_offered[0].filterName, "Microsoft wave format (*.wav)");
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(Text(d, IDC_FILE_NAME), "");
    EXPECT_TRUE(QDir(m_folder.path()).entryList(QDir::Files).isEmpty());

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
        busyCursor = QApplication::overrideCursor() != nullptr
                     && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
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
    cli.start(SUSURRA_CLI_PATH, {"render", "--quiet", "--type", "pink", "--lower", "100", "--upper", "20000",
                                 "--surf-strength", "30", "--surf-period", "20", "--fade-in", "1", "--fade-out",
                                 "0", "--length", "00:00:02", PathIn("cli.wav")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

    QFile window(path);
    QFile command(PathIn("cli.wav"));
    ASSERT_TRUE(window.open(QIODevice::ReadOnly));
    ASSERT_TRUE(command.open(QIODevice::ReadOnly));
    const QByteArray bytes = window.readAll();
    EXPECT_EQ(bytes.size(), 44 + 2 * 2 * 44100);
    const QByteArray expected = command.readAll();
    EXPECT_TRUE(SameBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                          std::string_view(expected.constData(), static_cast<std::size_t>(expected.size()))));
}

TEST_F(MainDlg, ExitWritesBothFilesEvenWhenAValueIsBad)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    Edit(d, IDC_SURF_PERIOD)->setText("20000");
    d.OnExit();
    EXPECT_EQ(m_messages.Texts(), QStringList{"Please enter a number between 0 and 10000."});
    EXPECT_TRUE(QFile::exists(PathIn("ns.srx")));
    EXPECT_TRUE(QFile::exists(PathIn("fs.srx")));
    EXPECT_TRUE(d.isVisible());

    QFile::remove(PathIn("ns.srx"));
    QFile::remove(PathIn("fs.srx"));
    Edit(d, IDC_SURF_PERIOD)->setText("25");
    d.OnExit();
    EXPECT_TRUE(QFile::exists(PathIn("ns.srx")));
    EXPECT_TRUE(QFile::exists(PathIn("fs.srx")));
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
    EXPECT_TRUE(m_messages.m_messages[0].text.startsWith("I can't open ")) << m_messages.m_messages[0].text.toStdString();
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
        auto dialog = Start();
        CMainDlg& d = *dialog;
        Choose(d.m_noiseSettingCombo, 2);  // "Rainforest Waterfall"
        EXPECT_TRUE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(0)->isChecked());
        Edit(d, IDC_SURF_STRENGTH)->setText("45");
        d.GetDlgItemAs<QAbstractButton>(IDC_NOISE_SAVE_SETTING)->click();
        ASSERT_TRUE(d.m_saveSetDlg.isVisible());
        d.m_saveSetDlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME)->setText("Night");
        d.m_saveSetDlg.OnSave();
        EXPECT_FALSE(d.m_saveSetDlg.isVisible());
        EXPECT_EQ(d.m_noiseSettingCombo->GetLBText(d.m_noiseSettingCombo->GetCurSel()), "Night");
        d.OnExit();
    }
    {
        auto dialog = Start();
        CMainDlg& d = *dialog;
        EXPECT_EQ(d.m_noiseSettingCombo->GetCount(), 8);
        EXPECT_EQ(d.m_noiseSettingCombo->GetLBText(d.m_noiseSettingCombo->GetCurSel()), "Night");
        EXPECT_TRUE(d.RadioGroup(IDC_PHYSIOLOGICAL).at(0)->isChecked());
        EXPECT_EQ(Text(d, IDC_SURF_STRENGTH), "45");
        Choose(d.m_noiseSettingCombo, 7);
        QFile::remove(PathIn("ns.srx"));
        dialog->OnPlay();
        dialog->close();
        EXPECT_FALSE(dialog->isVisible());
    }
    // The close box wrote nothing; destroying the window stopped the sound
    // and closed the device.
    EXPECT_FALSE(QFile::exists(PathIn("ns.srx")));
    EXPECT_FALSE(m_waveOut.IsOpen());
    auto dialog = Start();
    EXPECT_EQ(dialog->m_noiseSettingCombo->GetCurSel(), 0);
    Choose(dialog->m_noiseSettingCombo, 6);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog->EndCode(), IDCANCEL);
    EXPECT_FALSE(QFile::exists(PathIn("ns.srx")));
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
    ASSERT_EQ(store.SaveSettingsFile(SettingsKind::Noise, 99), "");

    auto dialog = Start();
    CMainDlg& d = *dialog;
    EXPECT_EQ(d.m_noiseSettingCombo->GetCurSel(), 0);  // beyond the end: the first entry
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
    auto dialog = Start();
    EXPECT_EQ(m_messages.Texts(), QStringList{"No audio mixer device found"});
    EXPECT_EQ(m_messages.m_messages[0].caption, "Warning");
    dialog->OnPlay();
    EXPECT_FALSE(dialog->IsPlaying());
    EXPECT_EQ(Text(*dialog, IDC_STATUS), "nothing to do");
    EXPECT_EQ(m_waveOut.CountCalls("Write"), 0);

    dialog->GetDlgItemAs<QAbstractButton>(ID_HELP)->click();
    EXPECT_EQ(help.m_requests, 1);
}

TEST_F(MainDlg, ThePlayingToneFollowsTheFrequencyButNotMereRepaints)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
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
