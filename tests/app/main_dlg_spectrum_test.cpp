// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's picture of the sound: it follows each edit before Play,
// and it has a place of its own in the window.
#include "app/sound_picture.h"
#include "tests/app/main_dlg_window_fixture.h"

#include <QSpinBox>

#include <functional>

namespace
{

using W = MainWindowTest;

struct EditRow
{
    const char* name;
    std::function<void(CMainDlg&)> edit;
    const char* shown; // a part of what the picture then says
};

class MainDlgSpectrum : public MainWindowTest, public ::testing::WithParamInterface<EditRow>
{};

TEST_P(MainDlgSpectrum, ThePictureFollowsTheEdit)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_LOWER_LIMIT, "20"}, {IDC_UPPER_LIMIT, "20000"}, {IDC_TINNITUS_FREQ, "1000"}});
    GetParam().edit(d);
    const QString said = d.findChild<CSpectrumView*>()->accessibleDescription();
    EXPECT_TRUE(said.contains(QString::fromUtf8(GetParam().shown))) << said.toStdString();
    EXPECT_FALSE(d.IsPlaying());
}

// Notch edges: 1000 / 2^(w/2) and 1000 * 2^(w/2), rounded.
INSTANTIATE_TEST_SUITE_P(
    Rows, MainDlgSpectrum,
    ::testing::Values(EditRow{"the limits",
                              [](CMainDlg& d) {
                                  W::Type(d, {{IDC_LOWER_LIMIT, "125"}, {IDC_UPPER_LIMIT, "9000"}});
                              },
                              "Noise from 125 Hz to 9000 Hz"},
                      EditRow{"a limit out of range keeps the one shown",
                              [](CMainDlg& d) {
                                  W::Type(d, {{IDC_LOWER_LIMIT, "5"}});
                              },
                              "Noise from 20 Hz"},
                      EditRow{"white", [](CMainDlg& d) { W::Button(d, IDC_WHITE)->click(); }, "level across the band"},
                      EditRow{"the tinnitus finder", [](CMainDlg& d) { W::Button(d, IDC_TINNITUS_FINDER)->click(); },
                              "A tone at 1000 Hz."},
                      EditRow{"the tinnitus frequency",
                              [](CMainDlg& d) {
                                  W::Type(d, {{IDC_TINNITUS_FREQ, "3000"}});
                              },
                              "Tinnitus frequency: 3000 Hz."},
                      EditRow{"the notch", [](CMainDlg& d) { W::Button(d, IDC_NOTCH)->click(); },
                              "A notch from 707 Hz to 1414 Hz"},
                      EditRow{"a half-octave notch",
                              [](CMainDlg& d) {
                                  W::Button(d, IDC_NOTCH)->click();
                                  W::Choose(d.m_notchWidthCombo, 0);
                              },
                              "A notch from 841 Hz to 1189 Hz"},
                      EditRow{"stereo with each ear at its level",
                              [](CMainDlg& d) {
                                  W::Button(d, IDC_STEREO)->click();
                                  d.GetDlgItemAs<QSpinBox>(IDC_LEFT_EAR)->setValue(-3);
                                  d.GetDlgItemAs<QSpinBox>(IDC_RIGHT_EAR)->setValue(-20);
                              },
                              "Left ear: -3 dB. Right ear: -20 dB."},
                      EditRow{"a silent ear",
                              [](CMainDlg& d) {
                                  W::Button(d, IDC_STEREO)->click();
                                  d.GetDlgItemAs<QSpinBox>(IDC_RIGHT_EAR)->setValue(StereoSound::kSilent);
                              },
                              "Left ear: 0 dB. Right ear: silent."},
                      EditRow{"the tone in the right ear",
                              [](CMainDlg& d) {
                                  W::Button(d, IDC_TINNITUS_FINDER)->click();
                                  W::Button(d, IDC_STEREO)->click();
                                  d.GetDlgItemAs<QSpinBox>(IDC_RIGHT_EAR)->setValue(-12);
                                  W::Choose(d.GetDlgItemAs<CComboCtrl>(IDC_TONE_EAR), 2);
                              },
                              "A tone at 1000 Hz. Left ear: silent. Right ear: -12 dB."},
                      EditRow{"a noise setting",
                              [](CMainDlg& d) {
                                  W::Button(d, IDC_PINK)->click();
                                  W::Choose(d.m_noiseSettingCombo,
                                            d.m_noiseSettingCombo->FindStringExact(0, "Wideband White Noise"));
                              },
                              "Noise from 100 Hz to 20000 Hz, level across the band. Tinnitus frequency: 440 Hz."}),
    RowName{});

TEST_F(MainWindowTest, ThePictureTakesNoRoomFromOtherControls)
{
    CMainDlg& d = Start();
    auto* view = d.findChild<CSpectrumView*>();
    QWidget* frame = d.GetDlgItem(IDC_SPECTRUM);
    EXPECT_TRUE(d.rect().contains(QRect(view->mapTo(&d, QPoint(0, 0)), view->size())));
    EXPECT_GE(view->width(), view->minimumSizeHint().width());
    EXPECT_GE(view->height(), view->minimumSizeHint().height());
    for (QWidget* control : d.Controls())
    {
        if (control != frame && control->isVisible())
        {
            EXPECT_FALSE(control->geometry().intersects(frame->geometry())) << control->objectName().toStdString();
        }
    }
}

} // namespace
