// SPDX-License-Identifier: GPL-3.0-or-later
// The notch controls of the main window and the pitch match dialog, on the
// scripted wave-output backend.
#include "settings/noise_extras.h"

#include "app/pitch_match_dlg.h"
#include "testing/engine_doubles.h"
#include "testing/report_logs.h"
#include "tests/app/main_dlg_window_fixture.h"
#include "ui/controls/slider_ctrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>

#include <cmath>

namespace
{

int Nearest(const std::vector<double>& sounds, double target)
{
    int best = 0;
    for (size_t i = 1; i < sounds.size(); ++i)
        if (std::fabs(std::log2(sounds[i] / target)) < std::fabs(std::log2(sounds[best] / target)))
            best = static_cast<int>(i);
    return best + 1;
}

// Power in dB of the period around a frequency: the DFT over its 21 nearest
// bins (the period repeats, so its spectrum is exact at the bins).
double Level(const CNoiseSynth& synth, double hz)
{
    const int n = CNoiseSynth::kPeriodSamples;
    const long centre = std::lround(hz * n / 44100.0);
    double power = 0.0;
    for (long k = centre - 10; k <= centre + 10; ++k)
    {
        double re = 0.0, im = 0.0;
        for (int i = 0; i < n; ++i)
        {
            const double phase = 2.0 * M_PI * static_cast<double>((k * i) % n) / n;
            re += synth.m_source[i] * std::cos(phase);
            im -= synth.m_source[i] * std::sin(phase);
        }
        power += re * re + im * im;
    }
    return 10.0 * std::log10(power + 1e-9);
}

class PitchMatch : public MainWindowTest
{
protected:
    // The length in samples of the cue now queued at the device; 0 for none.
    uint32_t QueuedCue() const
    {
        const std::vector<const WaveHeader*> queued = m_waveOut.Queued();
        return queued.size() == 1 ? queued[0]->bufferLengthBytes / 2 : 0;
    }
};

// An engine of its own, as the window's: the dialog only needs its device.
struct EngineRig
{
    explicit EngineRig(CFakeWaveOut& waveOut) : engine(waveOut, generator, controls, status, messages)
    {
        engine.InitDevices();
    }
    CTestGenerator generator;
    CTestControls controls;
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine;
};

TEST_F(PitchMatch, DialogStepsThroughLevelBracketAndOctaveAndUsesTheMatch)
{
    EngineRig rig(m_waveOut);
    rig.engine.SetVolume(40);
    {
        CPitchMatchDlg dialog(rig.engine, 40);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        auto* title = dialog.findChild<QLabel*>("title");
        EXPECT_EQ(title->text(), "Step 1 of 3: Level");
        EXPECT_EQ(QueuedCue(), 66150u) << "one 1 s tone and its 0.5 s gap";
        // The level step's volume is heard at once.
        dialog.findChild<QSlider*>("volume")->setValue(20);
        EXPECT_EQ(rig.engine.Volume(), 20);

        // Keyboard only: the range boxes, then Enter on the default button.
        dialog.findChild<QSpinBox*>("lower")->setValue(500);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(title->text(), "Step 2 of 3: Which tone is closer?");
        EXPECT_EQ(QueuedCue(), 2u * 66150u);
        for (double hz : dialog.Matcher().Sounds())
            EXPECT_GE(hz, 500.0);

        int answers = 0;
        while (dialog.Matcher().CurrentStep() == CPitchMatcher::Step::Bracket && answers < 30)
        {
            QTest::keyClick(&dialog, static_cast<Qt::Key>(Qt::Key_0 + Nearest(dialog.Matcher().Sounds(), 4200.0)));
            ++answers;
        }
        EXPECT_LE(answers, 12);
        EXPECT_EQ(title->text(), "Step 3 of 3: Octave check");
        EXPECT_EQ(QueuedCue(), 3u * 66150u);
        QTest::keyClick(&dialog, Qt::Key_R);
        EXPECT_EQ(QueuedCue(), 3u * 66150u) << "played again";
        QTest::keyClick(&dialog, static_cast<Qt::Key>(Qt::Key_0 + Nearest(dialog.Matcher().Sounds(), 4200.0)));
        EXPECT_EQ(title->text(), "Result");
        EXPECT_EQ(QueuedCue(), 0u);
        EXPECT_NEAR(std::log2(dialog.Result() / 4200.0) * 12.0, 0.0, 1.0);
        EXPECT_TRUE(dialog.findChild<QPushButton*>("use")->hasFocus());
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(dialog.GetOutcome(), CPitchMatchDlg::Outcome::Use);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(rig.engine.Volume(), 40) << "the window's volume is back";
}

TEST_F(PitchMatch, MovingTheVolumeInTheLevelStepPlaysTheToneAgain)
{
    EngineRig rig(m_waveOut);
    CPitchMatchDlg dialog(rig.engine, 40);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* volume = dialog.findChild<QSlider*>("volume");
    while (m_waveOut.CompleteNext())
    {}
    ASSERT_EQ(QueuedCue(), 0u) << "the tone has been heard";
    volume->setValue(30);
    EXPECT_EQ(QueuedCue(), 66150u) << "the 1 s tone and its gap again";
    EXPECT_EQ(rig.engine.Volume(), 30);

    // Once the level is set, the volume only changes the volume.
    dialog.OnNext();
    while (m_waveOut.CompleteNext())
    {}
    volume->setValue(35);
    EXPECT_EQ(QueuedCue(), 0u);
}

// The range the dialog shows, from "... Searching <lower> Hz to <upper> Hz."
std::pair<int, int> ShownRange(const CPitchMatchDlg& dialog)
{
    const QString text = dialog.findChild<QLabel*>("range")->text();
    const QRegularExpressionMatch m = QRegularExpression("Searching (\\d+) Hz to (\\d+) Hz\\.$").match(text);
    EXPECT_TRUE(m.hasMatch()) << text.toStdString();
    return {m.captured(1).toInt(), m.captured(2).toInt()};
}

TEST_F(PitchMatch, TheShownRangeOnlyNarrowsForAConsistentListenerAndSaysWhenItWidens)
{
    EngineRig rig(m_waveOut);
    CPitchMatchDlg dialog(rig.engine, 40);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.findChild<QSpinBox*>("lower")->setValue(400);
    dialog.findChild<QSpinBox*>("upper")->setValue(12000);
    dialog.OnNext();
    EXPECT_EQ(ShownRange(dialog), std::make_pair(400, 12000)) << "question 1 shows the range that was set";

    // A listener whose tinnitus is at 3000 Hz answers every question alike.
    std::pair<int, int> shown = ShownRange(dialog);
    for (int i = 0; i < 4; ++i)
    {
        dialog.OnAnswer(Nearest(dialog.Matcher().Sounds(), 3000.0));
        const std::pair<int, int> now = ShownRange(dialog);
        EXPECT_GE(now.first, shown.first);
        EXPECT_LE(now.second, shown.second);
        EXPECT_LT(now.second - now.first, shown.second - shown.first) << "each answer narrows it";
        EXPECT_LE(now.first, 3000);
        EXPECT_GE(now.second, 3000);
        EXPECT_FALSE(dialog.findChild<QLabel*>("range")->text().contains("widens"));
        shown = now;
    }

    // Then a slip, the tone farther from 3000 Hz: the range follows it away
    // from 3000 Hz, until a true answer goes against what is shown.
    dialog.OnAnswer(Nearest(dialog.Matcher().Sounds(), 3000.0) == 1 ? 2 : 1);
    shown = ShownRange(dialog);
    EXPECT_TRUE(shown.first > 3000 || shown.second < 3000);
    QString text;
    for (int i = 0; i < 8 && !text.contains("widens"); ++i)
    {
        shown = ShownRange(dialog);
        dialog.OnAnswer(Nearest(dialog.Matcher().Sounds(), 3000.0));
        ASSERT_EQ(dialog.Matcher().CurrentStep(), CPitchMatcher::Step::Bracket);
        text = dialog.findChild<QLabel*>("range")->text();
    }
    EXPECT_TRUE(text.startsWith("That answer differs from an earlier one, so the search widens again."))
        << text.toStdString();
    const std::pair<int, int> widened = ShownRange(dialog);
    EXPECT_GT(widened.second - widened.first, shown.second - shown.first);
}

TEST_F(PitchMatch, CancelInTheBracketingGivesNoResult)
{
    EngineRig rig(m_waveOut);
    CPitchMatchDlg dialog(rig.engine, 9);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.OnNext();
    dialog.OnAnswer(1);
    dialog.OnAnswer(2);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.GetOutcome(), CPitchMatchDlg::Outcome::Cancelled);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.Result(), 0);
    EXPECT_EQ(QueuedCue(), 0u) << "the tones stop";
}

TEST_F(PitchMatch, NotchIsOfferedForTheNoisesAndItsChangesMakeTheSignalAnew)
{
    CMainDlg& d = Start();
    auto* check = d.GetDlgItemAs<QCheckBox>(IDC_NOTCH);
    auto* width = d.GetDlgItemAs<CComboCtrl>(IDC_NOTCH_WIDTH);
    EXPECT_FALSE(check->isChecked());
    EXPECT_EQ(width->GetCurSel(), 1) << "one octave";
    EXPECT_TRUE(check->isEnabled());
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(3)->click();
    EXPECT_FALSE(check->isEnabled());
    EXPECT_FALSE(width->isEnabled());
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(1)->click();
    EXPECT_TRUE(check->isEnabled());

    d.OnPlay();
    ASSERT_TRUE(d.m_synth.m_ready);
    check->click();
    EXPECT_FALSE(d.m_synth.m_ready) << "the notch makes the noise anew";
    d.OnPlay();
    ASSERT_TRUE(d.m_synth.m_ready);
    // White noise 100..20000 Hz without the octave around 440 Hz.
    EXPECT_LT(Level(d.m_synth, 440.0), Level(d.m_synth, 1000.0) - 40.0);

    Type(d, {{IDC_TINNITUS_FREQ, "1000"}});
    EXPECT_FALSE(d.m_synth.m_ready) << "a new centre";
    d.OnPlay();
    EXPECT_LT(Level(d.m_synth, 1000.0), Level(d.m_synth, 440.0) - 40.0);
    Choose(width, 0);
    EXPECT_EQ(d.m_notchWidthOctaves, 0.5);
    EXPECT_FALSE(d.m_synth.m_ready) << "a new width";
    d.OnPlay();
    EXPECT_GT(Level(d.m_synth, 1300.0), Level(d.m_synth, 1000.0) + 40.0) << "1300 Hz lies outside half an octave";
}

// Clicks the window's Match button; a listener at `target` answers every
// question, then chooses Use or Cancel. Returns the dialog's result.
int MatchInWindow(CMainDlg& d, double target, bool use)
{
    int result = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CPitchMatchDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->OnNext();
        while (dialog->Matcher().CurrentStep() != CPitchMatcher::Step::Done)
            dialog->OnAnswer(Nearest(dialog->Matcher().Sounds(), target));
        result = dialog->Result();
        dialog->findChild<QPushButton*>(use ? "use" : "cancel")->click();
    });
    d.GetDlgItemAs<QPushButton>(IDC_MATCH)->click();
    return result;
}

TEST_F(PitchMatch, UseInTheWindowSetsTheFinderAndCancelLeavesIt)
{
    CMainDlg& d = Start();
    d.OnPlay();
    ASSERT_TRUE(d.IsPlaying());
    EXPECT_GT(MatchInWindow(d, 7000.0, false), 0) << "the match ran to its end";
    EXPECT_EQ(d.GetDlgItemText(IDC_TINNITUS_FREQ), "440") << "Cancel changes nothing";
    EXPECT_FALSE(d.IsPlaying()) << "the noise stopped for the tones";

    const int matched = MatchInWindow(d, 7000.0, true);
    EXPECT_NEAR(12.0 * std::log2(matched / 7000.0), 0.0, 1.0);
    EXPECT_EQ(d.GetDlgItemText(IDC_TINNITUS_FREQ), QString::number(matched));
    EXPECT_EQ(d.m_freqSlider->GetPos(), CMainDlg::FreqToSliderPos(matched));
    EXPECT_EQ(d.m_volumeSlider->GetPos(), 9);
}

TEST_F(PitchMatch, NotchIsKeptInTheNoiseSettingBehindTheMarker)
{
    CMainDlg& d = Start();
    d.m_notch = true;
    d.m_notchWidthOctaves = 0.5;
    d.FillSlotFromMembers(SettingsKind::Noise, 9);
    const NoiseSetting& slot = d.m_settings.m_noiseSettings.m_slots[9];
    EXPECT_EQ(ReadNoiseExtras(slot), (NoiseExtras{false, true, 0.5}));

    d.m_notch = false;
    d.FillSlotFromMembers(SettingsKind::Noise, 9);
    for (unsigned char byte : slot.reserved2)
        EXPECT_EQ(byte, 0) << "without a notch the record is as it always was";
}

} // namespace
