// SPDX-License-Identifier: GPL-3.0-or-later
// The Stereo controls: part of a noise setting, enabled as they apply, handed
// to Play and To File, and a stereo WAV file's shorter length limit.
#include "tests/app/main_dlg_window_fixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>

#include <array>
#include <cstdint>

namespace
{

class MainDlgStereo : public MainWindowTest
{
public:
    static QSpinBox* Ear(CMainDlg& d, int ear)
    {
        return d.GetDlgItemAs<QSpinBox>(ear == 0 ? IDC_LEFT_EAR : IDC_RIGHT_EAR);
    }

    // The user ticks Stereo and sets both ears and the tone's ear.
    static void SetStereo(CMainDlg& d, int left, int right, int toneEar)
    {
        if (!Button(d, IDC_STEREO)->isChecked())
            Button(d, IDC_STEREO)->click();
        Ear(d, 0)->setValue(left);
        Ear(d, 1)->setValue(right);
        Choose(d.GetDlgItemAs<CComboCtrl>(IDC_TONE_EAR), toneEar);
    }

    // Saves the current values as a new noise setting.
    static void SaveAs(CMainDlg& d, const char* name)
    {
        d.OnSaveNoiseSetting();
        d.m_saveSetDlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME)->setText(name);
        d.m_saveSetDlg.GetDlgItemAs<QPushButton>(IDC_SETTING_SAVE)->click();
    }

    static void Select(CMainDlg& d, const char* name)
    {
        Choose(d.m_noiseSettingCombo, d.m_noiseSettingCombo->FindStringExact(0, name));
    }

    static const NoiseSetting& Record(CMainDlg& d, const char* name)
    {
        const CNoiseSettingsTable& table = d.m_settings.m_noiseSettings;
        return table.m_slots[table.FindByName(name)];
    }

    // The window hands Play its values through IPlayControls, a private base.
    static PlayParameters ReadControls(CMainDlg& d) { return ((IPlayControls&)d).ReadControls(); }
};

} // namespace

TEST_F(MainDlgStereo, ASettingKeepsTheEarsInItsRecord)
{
    CMainDlg& saved = Start();
    SetStereo(saved, -20, StereoSound::kSilent, 2);
    SaveAs(saved, "Two Ears");
    // reserved1: left 20 dB down, right silent (255), the tone in the right
    // ear (2); reserved2: the marker, the stereo flag, no notch, and CRC-8
    // (polynomial 7) over 53 78 01 08 00 14 FF 02.
    const NoiseSetting& record = Record(saved, "Two Ears");
    EXPECT_EQ((std::array<int, 3>{record.reserved1[0], record.reserved1[1], record.reserved1[2]}),
              (std::array<int, 3>{20, 255, 2}));
    EXPECT_EQ((std::array<int, 6>{record.reserved2[0], record.reserved2[1], record.reserved2[2], record.reserved2[3],
                                  record.reserved2[4], record.reserved2[5]}),
              (std::array<int, 6>{0x53, 0x78, 0x01, 0x08, 0x00, 0xE3}));
    saved.OnExit();

    CMainDlg& d = Start();
    const auto expectShown = [&](const char* when, bool on, int left, int right, int toneEar) {
        SCOPED_TRACE(when);
        EXPECT_EQ(Button(d, IDC_STEREO)->isChecked(), on);
        EXPECT_EQ(Ear(d, 0)->value(), left);
        EXPECT_EQ(Ear(d, 1)->value(), right);
        EXPECT_EQ(d.GetDlgItemAs<CComboCtrl>(IDC_TONE_EAR)->GetCurSel(), toneEar);
    };
    expectShown("the saved selection is applied at start", true, -20, StereoSound::kSilent, 2);
    Select(d, "Easy Bay Surf");
    expectShown("a built-in setting is mono", false, 0, 0, 0);
    Select(d, "Two Ears");
    expectShown("reselected", true, -20, StereoSound::kSilent, 2);

    // Saved without Stereo, the record is what it always was.
    Button(d, IDC_STEREO)->click();
    SaveAs(d, "One Ear");
    const NoiseSetting& mono = Record(d, "One Ear");
    for (std::uint8_t byte : mono.reserved1)
        EXPECT_EQ(byte, 0);
    for (std::uint8_t byte : mono.reserved2)
        EXPECT_EQ(byte, 0);
}

struct EnabledRow
{
    const char* name;
    bool stereo;
    int typeId;
    bool ears, toneEar;
};

class MainDlgStereoEnabled : public MainDlgStereo, public ::testing::WithParamInterface<EnabledRow>
{};

TEST_P(MainDlgStereoEnabled, TheEarsApplyWithStereoAndTheTonesEarToTheTone)
{
    const EnabledRow& row = GetParam();
    CMainDlg& d = Start();
    if (row.stereo)
        Button(d, IDC_STEREO)->click();
    Button(d, row.typeId)->click();
    for (int id : {IDC_LEFT_EAR, IDC_LEFT_EAR_LABEL, IDC_RIGHT_EAR, IDC_RIGHT_EAR_LABEL})
        EXPECT_EQ(d.GetDlgItem(id)->isEnabled(), row.ears) << id;
    for (int id : {IDC_TONE_EAR, IDC_TONE_EAR_LABEL})
        EXPECT_EQ(d.GetDlgItem(id)->isEnabled(), row.toneEar) << id;
    EXPECT_TRUE(Button(d, IDC_STEREO)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Rows, MainDlgStereoEnabled,
                         ::testing::Values(EnabledRow{"mono noise", false, IDC_PINK, false, false},
                                           EnabledRow{"mono tone", false, IDC_TINNITUS_FINDER, false, false},
                                           EnabledRow{"stereo noise", true, IDC_WHITE, true, false},
                                           EnabledRow{"stereo tone", true, IDC_TINNITUS_FINDER, true, true}),
                         RowName{});

TEST_F(MainDlgStereo, PlayAndToFileGetTheEarsAsShown)
{
    CMainDlg& d = Start();
    const StereoSound mono{};
    EXPECT_EQ(ReadControls(d).stereo, mono);
    EXPECT_EQ(d.Sound().stereo, mono);

    SetStereo(d, -7, StereoSound::kSilent, 1);
    const StereoSound stereo{true, {-7, StereoSound::kSilent}, ToneEar::Left};
    EXPECT_EQ(ReadControls(d).stereo, stereo);
    EXPECT_EQ(d.Sound().stereo, stereo);

    // The quietest level and silence are told apart, in the box and in the values.
    Ear(d, 0)->setValue(StereoSound::kMinLevelDb);
    EXPECT_EQ(Ear(d, 0)->text(), "-60 dB");
    EXPECT_EQ(Ear(d, 1)->text(), "Silent");
    EXPECT_EQ(Ear(d, 1)->minimum(), -61);
    EXPECT_EQ(d.Sound().stereo.earLevelDb, (std::array<int, 2>{-60, -61}));
}

TEST_F(MainDlgStereo, AStereoWaveFileMayBeHalfAsLong)
{
    CMainDlg& d = Start();
    SetStereo(d, 0, 0, 0);
    // Half of 13:31:35 (48695 s) is 24347 s, 6:45:47: one second more is refused.
    const QString name = PathIn("long.wav");
    Type(d, {{IDC_PLAY_TIME, "6:45:48"}, {IDC_FILE_NAME, name}});
    d.OnToFile();
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_EQ(m_messages.Texts().first(), "I can't write " + name
                                              + ": a stereo WAV file can be at most 6:45:47 (24347 s) long, half as "
                                                "long as a mono one");
    EXPECT_FALSE(QFile::exists(name));
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do");
}

TEST_F(MainDlgStereo, TheCheckBoxRestartsTheSoundAndTheLevelsWaitForPlay)
{
    CMainDlg& d = Start();
    d.OnPlay();
    ASSERT_TRUE(d.IsPlaying());
    int opens = m_waveOut.CountCalls("Open");
    Button(d, IDC_STEREO)->click();
    EXPECT_EQ(m_waveOut.CountCalls("Open"), ++opens) << "ticked: played again at once";
    Ear(d, 1)->setValue(-6);
    Choose(d.GetDlgItemAs<CComboCtrl>(IDC_TONE_EAR), 2);
    EXPECT_EQ(m_waveOut.CountCalls("Open"), opens) << "a level is heard from the next Play";
    d.OnPlay();
    EXPECT_EQ(m_waveOut.CountCalls("Open"), ++opens);
    EXPECT_TRUE(d.IsPlaying());
}
