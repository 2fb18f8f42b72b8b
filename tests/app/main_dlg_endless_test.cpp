// SPDX-License-Identifier: GPL-3.0-or-later
// The Endless check box: part of a noise setting, used by Play and To File,
// with a fresh seed for each run.
#include "settings/noise_extras.h"
#include "settings/settings_store.h"

#include "tests/app/main_dlg_window_fixture.h"

#include <QAbstractButton>
#include <QFile>
#include <QPushButton>
#include <QTime>
#include <QTimeEdit>

#include <chrono>
#include <thread>
#include <vector>

namespace
{

constexpr int kPeriod = CPlaybackEngine::kPeriodSamples;

class MainDlgEndless : public MainWindowTest
{
public:
    static QAbstractButton* Endless(CMainDlg& d) { return d.GetDlgItemAs<QAbstractButton>(IDC_ENDLESS); }

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
    QByteArray WriteFile(CMainDlg& d, const QString& name, bool endless)
    {
        Edit(d, IDC_FADE_IN)->setText("0");
        Edit(d, IDC_FADE_OUT)->setText("0");
        Edit(d, IDC_SURF_STRENGTH)->setText("0");
        d.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->setTime(QTime(0, 0, 2));
        Endless(d)->setChecked(endless);
        Edit(d, IDC_FILE_NAME)->setText(PathIn(name));
        d.OnToFile();
        QFile file(PathIn(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
};

} // namespace

TEST_F(MainDlgEndless, TheCheckBoxIsPartOfANoiseSettingAndOffForBuiltIns)
{
    {
        auto dialog = Start();
        CMainDlg& d = *dialog;
        EXPECT_FALSE(Endless(d)->isChecked());
        Endless(d)->click();
        d.OnSaveNoiseSetting();
        d.m_saveSetDlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME)->setText("Night Rain");
        d.m_saveSetDlg.GetDlgItemAs<QPushButton>(IDC_SETTING_SAVE)->click();
        d.OnExit();
    }
    CSettingsStore stored(m_folder.path().toStdString() + "/");
    stored.SetUp();
    stored.LoadSettingsFile(SettingsKind::Noise);
    const int slot = stored.m_noiseSettings.FindByName("Night Rain");
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(ReadNoiseExtras(stored.m_noiseSettings.m_slots[slot]).endless);

    auto dialog = Start();
    CMainDlg& d = *dialog;
    EXPECT_TRUE(Endless(d)->isChecked()) << "the saved selection is applied at start";
    Choose(d.m_noiseSettingCombo, d.m_noiseSettingCombo->FindStringExact(0, "Easy Bay Surf"));
    EXPECT_FALSE(Endless(d)->isChecked());
    Choose(d.m_noiseSettingCombo, d.m_noiseSettingCombo->FindStringExact(0, "Night Rain"));
    EXPECT_TRUE(Endless(d)->isChecked());
}

TEST_F(MainDlgEndless, OnlyTheNoisesCanBeEndless)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    for (int type : {Physiological, White, Pink, TinnitusFinder})
    {
        d.RadioGroup(IDC_PHYSIOLOGICAL).at(type)->click();
        EXPECT_EQ(Endless(d)->isEnabled(), type != TinnitusFinder) << type;
    }
}

TEST_F(MainDlgEndless, PlayNeverRepeatsAPeriodAndEachPlayDrawsAnotherSeed)
{
    auto dialog = Start();
    CMainDlg& d = *dialog;
    Edit(d, IDC_SURF_STRENGTH)->setText("0");  // the samples are the periods themselves
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
    auto dialog = Start();
    CMainDlg& d = *dialog;
    const QByteArray looped = WriteFile(d, "looped.wav", false);
    const QByteArray first = WriteFile(d, "first.wav", true);
    const QByteArray second = WriteFile(d, "second.wav", true);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    const qsizetype bytes = 44 + 2 * 2 * 44100;
    EXPECT_EQ(looped.size(), bytes);
    EXPECT_EQ(first.size(), bytes);
    EXPECT_EQ(second.size(), bytes);
    EXPECT_EQ(first.left(44), looped.left(44));
    EXPECT_NE(first.mid(44), looped.mid(44));
    EXPECT_NE(second.mid(44), first.mid(44));
}
