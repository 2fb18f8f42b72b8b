#include "app/combo_ctrl.h"
#include "app/dialog_base.h"
#include "app/dialog_template.h"
#include "app/dialog_units.h"
#include "app/icon_button.h"
#include "app/resource_ids.h"
#include "app/up_down_ctrl.h"
#include "qt_test_app.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace
{

class DialogLayout : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
};

} // namespace

TEST_F(DialogLayout, main_template_holds_sixty_controls_in_creation_order)
{
    const CDialogTemplate t = CDialogTemplate::Load(IDD_MAIN);
    EXPECT_EQ(t.m_caption, "Susurra - Denoise by Noise");
    EXPECT_EQ(t.m_sizeDlu, QSize(508, 320));
    ASSERT_EQ(t.m_items.size(), 60);

    QList<int> ids;
    for (const DialogItemTemplate& item : t.m_items)
        ids.append(item.id);
    const QList<int> expected = {1002, 1001, 1010, 1030, 57670, 1003, 1049, 1051, 1004, 1005, 1006, 1034,
                                 1040, 1036, 1037, 1035, 1007, 1008, 1018, 1019, 1020, 1021, 1022, 1013,
                                 1048, 1012, 1011, 1043, 1044, -1,   1009, -1,   -1,   -1,   -1,   -1,
                                 1014, -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   1026, 1027, 1029,
                                 -1,   1032, -1,   1041, 1042, -1,   -1,   -1,   -1,   -1,   1000, 1057};
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(t.m_items[0].caption, "Play");
    EXPECT_EQ(t.m_items[0].rectDlu, QRect(52, 23, 58, 28));
    EXPECT_EQ(t.m_items.last().rectDlu, QRect(373, 115, 104, 106));
    EXPECT_TRUE(t.m_items[13].HasStyle("digits"));

    EXPECT_EQ(CDialogTemplate::Load(IDD_ABOUT).m_caption, "About Susurra");
    EXPECT_EQ(CDialogTemplate::Load(IDD_SAVE_SETTING).m_sizeDlu, QSize(301, 98));
    EXPECT_TRUE(CDialogTemplate::Load(999).IsEmpty());
    EXPECT_TRUE(CDialogTemplate::FromJson("{ not json").IsEmpty());
}

TEST_F(DialogLayout, dialog_units_follow_the_base_units)
{
    const CDialogUnits units(6.0, 13.0);
    EXPECT_EQ(units.ToPixels(QRect(52, 23, 58, 28)), QRect(78, 37, 87, 46));
    EXPECT_EQ(units.ToPixels(QSize(508, 320)), QSize(762, 520));

    QFont font;
    font.setPixelSize(20);
    const CDialogUnits fromFont(font);
    EXPECT_GT(fromFont.BaseX(), 5.0);
    EXPECT_EQ(fromFont.BaseY(), QFontMetricsF(font).height());
}

TEST_F(DialogLayout, controls_are_created_in_tab_order_with_their_kinds)
{
    CDialogBase dlg(IDD_MAIN);
    dlg.Create();
    ASSERT_EQ(dlg.Controls().size(), 60);
    EXPECT_NE(dlg.GetDlgItemAs<CIconButton>(IDC_PLAY), nullptr);
    EXPECT_NE(dlg.GetDlgItemAs<CIconButton>(ID_HELP), nullptr);
    EXPECT_NE(dlg.GetDlgItemAs<CComboCtrl>(IDC_NOISE_SETTING), nullptr);
    EXPECT_TRUE(dlg.GetDlgItemAs<CComboCtrl>(IDC_NOISE_SETTING)->IsSorted());
    EXPECT_FALSE(dlg.GetDlgItemAs<CComboCtrl>(IDC_SOUND_DEVICE)->IsSorted());
    EXPECT_EQ(dlg.GetDlgItemAs<CUpDownCtrl>(IDC_FREQ_SPIN)->GetBuddy(), dlg.GetDlgItem(IDC_TINNITUS_FREQ));
    EXPECT_EQ(dlg.RadioGroup(IDC_PHYSIOLOGICAL).size(), 4);
    EXPECT_EQ(dlg.GetDlgItem(-1), nullptr);

    // Following the focus chain from Play visits the tab stops in template order.
    QList<int> chain;
    QWidget* w = dlg.GetDlgItem(IDC_PLAY);
    for (int i = 0; i < 9; ++i)
    {
        chain.append(w->objectName().mid(7).toInt());
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
    }
    EXPECT_EQ(chain, (QList<int>{1002, 1001, 1010, 1030, 57670, 1003, 1049, 1051, 1004}));
}

TEST_F(DialogLayout, window_keeps_its_proportions_at_any_font_size)
{
    CDialogBase small(IDD_MAIN);
    QFont smallFont = small.font();
    smallFont.setPixelSize(10);
    small.setFont(smallFont);
    small.Create();

    CDialogBase large(IDD_MAIN);
    QFont largeFont = large.font();
    largeFont.setPixelSize(20);
    large.setFont(largeFont);
    large.Create();

    const CDialogUnits units = large.Units();
    EXPECT_EQ(large.size(), units.ToPixels(QSize(508, 320)));
    EXPECT_EQ(large.GetDlgItem(IDC_PLAY)->geometry(), units.ToPixels(QRect(52, 23, 58, 28)));

    const double ratioX = double(large.width()) / small.width();
    const double ratioY = double(large.height()) / small.height();
    EXPECT_NEAR(ratioX, large.Units().BaseX() / small.Units().BaseX(), 0.01);
    EXPECT_NEAR(ratioY, large.Units().BaseY() / small.Units().BaseY(), 0.01);
    EXPECT_GT(ratioX, 1.7);

    // A change of font lays the window out again.
    small.setFont(largeFont);
    EXPECT_EQ(small.size(), large.size());
    EXPECT_EQ(small.GetDlgItem(IDC_FILE_NAME)->geometry(), large.GetDlgItem(IDC_FILE_NAME)->geometry());
}

TEST_F(DialogLayout, frames_lie_behind_the_controls_they_hold)
{
    CDialogBase dlg(IDD_MAIN);
    dlg.Create();
    dlg.show();
    auto* radio = dlg.GetDlgItemAs<QRadioButton>(IDC_WHITE);
    const QPoint centre = radio->geometry().center();
    EXPECT_EQ(dlg.childAt(centre), radio);
    EXPECT_TRUE(dlg.GetDlgItemAs<QGroupBox>(IDC_NOISE_TYPE_GROUP)->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(DialogLayout, main_window_picture_with_its_icon_buttons)
{
    struct Button
    {
        int id;
        int icon;
        int tip;
    };
    const Button buttons[] = {{IDC_EXIT, IDI_EXIT, IDS_TIP_EXIT},       {IDC_PLAY, IDI_PLAY, IDS_TIP_PLAY},
                              {IDC_STOP, IDI_STOP, IDS_TIP_STOP},       {IDC_TO_FILE, IDI_TO_FILE, IDS_TIP_TO_FILE},
                              {IDC_TOOLS, IDI_TOOLS, IDS_TIP_TOOLS},    {ID_HELP, IDI_HELP, IDS_TIP_HELP},
                              {IDC_BROWSE, IDI_BROWSE, IDS_TIP_BROWSE}};
    CDialogBase dlg(IDD_MAIN);
    dlg.Create();
    for (const Button& b : buttons)
    {
        auto* button = dlg.GetDlgItemAs<CIconButton>(b.id);
        ASSERT_NE(button, nullptr);
        button->SetIcon(b.icon, 0);
        button->SetBalloonTooltip();
        button->SetTooltipText(b.tip, true);
        if (b.id != IDC_BROWSE)
            button->SetHoverCursor(IDC_HAND, true);
    }
    dlg.GetDlgItemAs<CIconButton>(IDC_BROWSE)->SetAlignment(1, true);
    dlg.SetItemTextFromResource(IDC_EXIT, IDS_EXIT);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EXIT), "Exit");
    dlg.SetItemTextFromResource(IDC_STATUS, 9999); // a missing entry empties the text
    EXPECT_EQ(dlg.GetDlgItemText(IDC_STATUS), "");
    dlg.SetDlgItemText(IDC_STATUS, "nothing to do");
    dlg.show();
    // Every control lies inside the window.
    for (QWidget* control : dlg.Controls())
        EXPECT_TRUE(dlg.rect().contains(control->geometry())) << control->objectName().toStdString();
    const QString path = QDir(QStringLiteral(SUSURRA_TEST_OUTPUT_DIR)).filePath("main_window.png");
    EXPECT_TRUE(dlg.grab().save(path));
}
