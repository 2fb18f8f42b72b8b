// SPDX-License-Identifier: GPL-3.0-or-later
// The main window towards the desktop: the quiet leave of the media
// controls and their volume, the file types of To File and devices that come
// and go.
#include "tests/app/main_dlg_window_fixture.h"

#include <QApplication>
#include <QSlider>
#include <QTimer>

namespace
{

using MainDlgDesktop = MainWindowTest;

TEST_F(MainDlgDesktop, QuietLeaveWithABadValueLeavesAsTheCloseBoxWithoutAMessage)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_LOWER_LIMIT, "not a number"}});
    d.LeaveQuietly();
    EXPECT_EQ(d.EndCode(), IDCANCEL);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(MainDlgDesktop, QuietLeaveClosesAnAboutBoxOpenOverTheWindowAndWritesBothSettingsFiles)
{
    CMainDlg& d = Start();
    bool aboutOpen = false;
    QTimer::singleShot(50, &d, [&] {
        aboutOpen = QApplication::activeModalWidget() == &d.m_aboutDlg;
        d.LeaveQuietly();
    });
    d.OnTools(); // returns once the About box is gone
    EXPECT_TRUE(aboutOpen);
    QTest::qWait(50);
    EXPECT_EQ(d.EndCode(), IDOK);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(Files(), (QStringList{"fs.srx", "ns.srx"}));
}

TEST_F(MainDlgDesktop, ToFileRefusesAnUnknownSuffixWithAMessage)
{
    CMainDlg& d = Start();
    const QString path = PathIn("night.ogg");
    Type(d, {{IDC_FILE_NAME, path}, {IDC_PLAY_TIME, "0:00:02"}});
    d.OnToFile();
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_EQ(m_messages.Texts()[0], "I can't write " + path
                                         + ": the name must end in .wav, .flac, .opus or .mp3 "
                                           "(the suffix chooses the file type).");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(Text(d, IDC_STATUS), "nothing to do");
}

TEST_F(MainDlgDesktop, ToFileOffersTheFourTypesAndWritesTheChosenOne)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_FILE_NAME, ""}, {IDC_PLAY_TIME, "0:00:02"}});
    m_chooser.m_answers = {PathIn("night.flac")};
    d.OnToFile();
    ASSERT_EQ(m_chooser.m_offered.size(), 1);
    EXPECT_EQ(m_chooser.m_offered[0].moreFilters,
              (QStringList{"FLAC, lossless (*.flac)", "Ogg Opus (*.opus)", "MP3 (*.mp3)"}));
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(Bytes("night.flac").substr(0, 4), "fLaC");
}

TEST_F(MainDlgDesktop, TheDesktopsVolumeMovesTheSliderWithinItsRange)
{
    CMainDlg& d = Start();
    auto* slider = d.GetDlgItemAs<QSlider>(IDC_VOLUME);
    for (const auto& [asked, shown] : {std::pair{231, 231}, std::pair{-5, 0}, std::pair{9999, 461}})
    {
        d.SetVolumeFromDesktop(asked);
        EXPECT_EQ(slider->value(), shown) << asked;
        EXPECT_EQ(d.Engine().Volume(), shown) << asked;
    }
    // The device hears the slider's top as full level.
    EXPECT_EQ(m_waveOut.Volume(), 65535u | (65535u << 16));
}

TEST_F(MainDlgDesktop, DevicesThatComeAndGoShowWhileTheChosenOneStays)
{
    m_waveOut.SetDevices({{"Default output", true}, {"Speakers", true}, {"USB", true}});
    CMainDlg& d = Start();
    auto* combo = d.GetDlgItemAs<CComboCtrl>(IDC_SOUND_DEVICE);
    Choose(combo, 2);
    ASSERT_EQ(m_waveOut.OpenDevice(), 2u);

    m_waveOut.SetDevices({{"Default output", true}, {"Speakers", true}, {"Bluetooth", true}, {"USB", true}});
    d.OnCheckDevice();
    EXPECT_EQ(Entries(combo), (QStringList{"Default output", "Speakers", "Bluetooth", "USB"}));
    EXPECT_EQ(combo->GetLBText(combo->GetCurSel()), "USB");

    // The chosen one goes: the default output takes over, and the list says so.
    m_waveOut.SetDevices({{"Default output", true}, {"Speakers", true}});
    d.OnCheckDevice();
    EXPECT_EQ(Entries(combo), (QStringList{"Default output", "Speakers"}));
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(m_waveOut.OpenDevice(), 0u);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

} // namespace
