// SPDX-License-Identifier: GPL-3.0-or-later
// A command whose values are refused stops: it never goes on with values the
// refusal left unread.
#include "tests/app/main_dlg_window_fixture.h"

#include <functional>

namespace
{

using Window = MainWindowTest;

struct RefusedCommand
{
    const char* name;
    std::function<void(CMainDlg&)> before; // the state the command meets
    std::function<void(CMainDlg&)> command;
    std::function<void(CMainDlg&, Window&)> unchanged;
    // The refusal: a fade-out out of range unless the row says otherwise.
    QString message = QStringLiteral("Please enter a number between 0 and 1000.");
    int refusedId = IDC_FADE_OUT;
};

class MainDlgRefusal : public Window, public testing::WithParamInterface<RefusedCommand>
{};

void Nothing(CMainDlg&) {}

// 267 characters ending in ".flac".
QString LongPath()
{
    return QStringLiteral("/tmp/") + QString(257, QLatin1Char('a')) + QStringLiteral(".flac");
}
void Play(CMainDlg& d)
{
    d.OnPlay();
}

} // namespace

TEST_P(MainDlgRefusal, ARefusedValueStopsTheCommand)
{
    CMainDlg& d = Start();
    Edit(d, IDC_FILE_NAME)->setText(PathIn("earlier.wav"));
    GetParam().before(d);
    const int writes = m_waveOut.CountCalls("Write");
    const int opens = m_waveOut.CountCalls("Open");
    Edit(d, IDC_FADE_OUT)->setText("1001");

    GetParam().command(d);

    EXPECT_EQ(m_messages.Texts(), QStringList{GetParam().message});
    EXPECT_EQ(d.focusWidget(), Edit(d, GetParam().refusedId));
    EXPECT_EQ(m_waveOut.CountCalls("Write"), writes);
    EXPECT_EQ(m_waveOut.CountCalls("Open"), opens);
    GetParam().unchanged(d, *this);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MainDlgRefusal,
    testing::Values(RefusedCommand{"Play", Nothing, Play,
                                   [](CMainDlg& d, Window&) {
                                       EXPECT_FALSE(d.IsPlaying());
                                       EXPECT_FALSE(d.m_synth.m_ready);
                                   }},
                    RefusedCommand{"ToFile", Nothing, [](CMainDlg& d) { d.OnToFile(); },
                                   [](CMainDlg& d, Window& t) {
                                       EXPECT_FALSE(QFile::exists(t.PathIn("earlier.wav")));
                                       EXPECT_EQ(d.GetDlgItemText(IDC_STATUS), "nothing to do");
                                   }},
                    // A path too long for the writer is refused whole, never cut
                    // into another name (here one without its suffix).
                    RefusedCommand{"ToFileWithTooLongAPath",
                                   [](CMainDlg& d) { Window::Edit(d, IDC_FILE_NAME)->setText(LongPath()); },
                                   [](CMainDlg& d) { d.OnToFile(); },
                                   [](CMainDlg& d, Window& t) {
                                       EXPECT_EQ(d.GetDlgItemText(IDC_FILE_NAME), LongPath());
                                       EXPECT_TRUE(t.Files().isEmpty());
                                   },
                                   QStringLiteral("Please enter no more than 255 characters."), IDC_FILE_NAME},
                    RefusedCommand{"Browse", Nothing, [](CMainDlg& d) { d.OnBrowse(); },
                                   [](CMainDlg&, Window& t) { EXPECT_TRUE(t.m_chooser.m_offered.isEmpty()); }},
                    RefusedCommand{"SaveNoiseSetting", Nothing, [](CMainDlg& d) { d.OnSaveNoiseSetting(); },
                                   [](CMainDlg& d, Window&) { EXPECT_FALSE(d.m_saveSetDlg.isVisible()); }},
                    RefusedCommand{"SaveFileSetting", Nothing, [](CMainDlg& d) { d.OnSaveFileSetting(); },
                                   [](CMainDlg& d, Window&) { EXPECT_FALSE(d.m_saveSetDlg.isVisible()); }},
                    RefusedCommand{"DeviceChange", Play, [](CMainDlg& d) { Window::Choose(d.m_deviceCombo, 1); },
                                   [](CMainDlg& d, Window& t) {
                                       EXPECT_TRUE(d.IsPlaying());
                                       EXPECT_EQ(t.m_waveOut.OpenDevice(), 0u);
                                       EXPECT_EQ(d.m_deviceCombo->GetCurSel(), 0) << "the list shows the open device";
                                   }},
                    // Choosing a setting shows all its values, so only a damaged one is refused.
                    RefusedCommand{"DamagedNoiseSettingWhilePlaying",
                                   [](CMainDlg& d) {
                                       d.OnPlay();
                                       CNoiseSettingsTable& table = d.m_settings.m_noiseSettings;
                                       table.m_slots[table.FindByName("Rainforest Waterfall")].lowerLimit = 5.0;
                                   },
                                   [](CMainDlg& d) { Window::Choose(d.m_noiseSettingCombo, 2); },
                                   [](CMainDlg& d, Window& t) {
                                       // Shown, and made before the next Play, but not restarted now.
                                       EXPECT_EQ(t.m_waveOut.CountCalls("Reset"), 0);
                                       EXPECT_EQ(d.Engine().PlayedType(), Pink);
                                       EXPECT_FALSE(d.m_synth.m_ready);
                                   },
                                   QStringLiteral("Please enter a number between 20 and 20000."), IDC_LOWER_LIMIT},
                    // The type was not read: the signal must count as stale.
                    RefusedCommand{"NoiseType", Play,
                                   [](CMainDlg& d) { d.RadioGroup(IDC_PHYSIOLOGICAL).at(White)->click(); },
                                   [](CMainDlg& d, Window&) { EXPECT_FALSE(d.m_synth.m_ready); }}),
    RowName());

TEST_F(MainWindowTest, AClickedSectionIsTypedOverAndAnHourOutOfRangeIsRefused)
{
    CMainDlg& d = Start();
    Type(d, {{IDC_PLAY_TIME, "0:00:02"}});
    auto* time = d.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME);
    time->setFocus();
    // A click amid the hours' digits, then "24".
    QWidget* field = time->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    const QPoint amidHours(field->fontMetrics().horizontalAdvance("0") + 2, field->height() / 2);
    QTest::mouseClick(field, Qt::LeftButton, {}, amidHours);
    QTest::keyClicks(time, "24");
    EXPECT_EQ(m_messages.Texts(), QStringList{"Please enter a number between 0 and 23."});
    EXPECT_TRUE(time->hasFocus());
    EXPECT_EQ(time->currentSection(), QDateTimeEdit::HourSection);

    // Typed over, in range, the hour is taken.
    QTest::keyClicks(time, "12");
    EXPECT_TRUE(d.UpdateData(true));
    EXPECT_EQ(m_messages.Texts().size(), 1);
    EXPECT_EQ(d.m_playTime.GetHour(), 12);
    EXPECT_EQ(d.m_playTime.GetSecond(), 2);

    // A click in the minutes types over the minutes alone.
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() / 2, field->height() / 2));
    QTest::keyClicks(time, "45");
    EXPECT_TRUE(d.UpdateData(true));
    EXPECT_EQ(time->time(), QTime(12, 45, 2));
}
