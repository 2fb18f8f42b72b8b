// SPDX-License-Identifier: GPL-3.0-or-later
// The Endless check box: part of a noise setting, used by Play and To File,
// with a fresh seed for each run.
#include "tests/app/main_dlg_window_fixture.h"

#include <QPushButton>

#include <chrono>
#include <thread>
#include <vector>

namespace
{

constexpr int kPeriod = CPlaybackEngine::kPeriodSamples;

class MainDlgEndless : public MainWindowTest
{
public:
    static QAbstractButton* Endless(CMainDlg& d) { return Button(d, IDC_ENDLESS); }

    // The period the device holds now (both halves), as it will play it.
    static std::vector<int16_t> HeldPeriod(CMainDlg& d)
    {
        return {d.Engine().PlayBuffer(), d.Engine().PlayBuffer() + kPeriod};
    }

    // Lets the device play both halves; the engine refills them with the next period.
    void PlayPeriod(CMainDlg& d)
    {
        const CEndlessFeed* feed = d.Engine().EndlessFeed();
        for (int i = 0; i < 2000 && feed != nullptr && !feed->NextReady(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(m_waveOut.CompleteNext());
        ASSERT_TRUE(m_waveOut.CompleteNext());
    }

    // A 2 s file without fades and surf, of the chosen kind.
    std::string WriteFile(CMainDlg& d, const QString& name, bool endless)
    {
        Type(d, {{IDC_FADE_IN, "0"},
                 {IDC_FADE_OUT, "0"},
                 {IDC_SURF_STRENGTH, "0"},
                 {IDC_PLAY_TIME, "0:00:02"},
                 {IDC_FILE_NAME, PathIn(name)}});
        Endless(d)->setChecked(endless);
        d.OnToFile();
        return Bytes(name);
    }
};

} // namespace

TEST_F(MainDlgEndless, TheCheckBoxIsPartOfANoiseSettingAndOffForBuiltIns)
{
    CMainDlg& saved = Start();
    EXPECT_FALSE(Endless(saved)->isChecked());
    Endless(saved)->click();
    saved.OnSaveNoiseSetting();
    saved.m_saveSetDlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME)->setText("Night Rain");
    saved.m_saveSetDlg.GetDlgItemAs<QPushButton>(IDC_SETTING_SAVE)->click();
    saved.OnExit();

    CMainDlg& d = Start();
    EXPECT_TRUE(Endless(d)->isChecked()) << "the saved selection is applied at start";
    Choose(d.m_noiseSettingCombo, d.m_noiseSettingCombo->FindStringExact(0, "Easy Bay Surf"));
    EXPECT_FALSE(Endless(d)->isChecked());
    Choose(d.m_noiseSettingCombo, d.m_noiseSettingCombo->FindStringExact(0, "Night Rain"));
    EXPECT_TRUE(Endless(d)->isChecked());
}

TEST_F(MainDlgEndless, OnlyTheNoisesCanBeEndless)
{
    CMainDlg& d = Start();
    for (int type : {Physiological, White, Pink, TinnitusFinder})
    {
        d.RadioGroup(IDC_PHYSIOLOGICAL).at(type)->click();
        EXPECT_EQ(Endless(d)->isEnabled(), type != TinnitusFinder) << type;
    }
}

TEST_F(MainDlgEndless, PlayNeverRepeatsAPeriodAndEachPlayDrawsAnotherSeed)
{
    CMainDlg& d = Start();
    Edit(d, IDC_SURF_STRENGTH)->setText("0"); // the samples are the periods themselves
    d.OnPlay();
    const std::vector<int16_t> looped = HeldPeriod(d);
    PlayPeriod(d);
    EXPECT_EQ(HeldPeriod(d), looped) << "without Endless the period repeats";

    // Ticking the box restarts the sound with it.
    Endless(d)->click();
    ASSERT_NE(d.Engine().EndlessFeed(), nullptr);
    const std::vector<int16_t> first = HeldPeriod(d);
    EXPECT_NE(first, looped);
    PlayPeriod(d);
    const std::vector<int16_t> second = HeldPeriod(d);
    EXPECT_NE(second, first);
    PlayPeriod(d);
    EXPECT_NE(HeldPeriod(d), second);
    EXPECT_NE(HeldPeriod(d), first);

    d.OnStop();
    d.OnPlay();
    EXPECT_NE(HeldPeriod(d), first) << "a new run starts from another seed";

    Endless(d)->click();
    EXPECT_EQ(HeldPeriod(d), looped) << "unticked, the repeated period plays again";
}

TEST_F(MainDlgEndless, ToFileWritesAFileOfItsOwnEachRunWithTheLengthAsked)
{
    CMainDlg& d = Start();
    const std::string looped = WriteFile(d, "looped.wav", false);
    const std::string first = WriteFile(d, "first.wav", true);
    const std::string second = WriteFile(d, "second.wav", true);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    for (const std::string* file : {&looped, &first, &second})
        EXPECT_EQ(file->size(), 44u + 2 * 2 * 44100);
    EXPECT_EQ(first.substr(0, 44), looped.substr(0, 44));
    EXPECT_NE(first.substr(44), looped.substr(44));
    EXPECT_NE(second.substr(44), first.substr(44));
}
