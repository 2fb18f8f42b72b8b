// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/combo_ctrl.h"
#include "ui/dialog/dialog_base.h"
#include "ui/dialog/dialog_units.h"
#include "ui/controls/digits_edit.h"
#include "ui/controls/icon_button.h"
#include "app/resource_ids.h"
#include "ui/controls/up_down_ctrl.h"
#include "testing/ui/qt_test_app.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

// The toolkit on the main window's template.
using DialogLayout = QtTest;

TEST_F(DialogLayout, ControlsAreCreatedInTabOrderWithTheirKinds)
{
    CDialogBase dlg(IDD_MAIN);
    dlg.Create();
    ASSERT_EQ(dlg.Controls().size(), 88);
    EXPECT_NE(dlg.GetDlgItemAs<QCheckBox>(IDC_ENDLESS), nullptr);
    EXPECT_NE(dlg.GetDlgItemAs<QSpinBox>(IDC_LEFT_EAR), nullptr);
    EXPECT_NE(dlg.GetDlgItemAs<CIconButton>(ID_HELP), nullptr);
    EXPECT_NE(dlg.GetDlgItemAs<CDigitsEdit>(IDC_TINNITUS_FREQ), nullptr);
    EXPECT_TRUE(dlg.GetDlgItemAs<CComboCtrl>(IDC_NOISE_SETTING)->IsSorted());
    EXPECT_FALSE(dlg.GetDlgItemAs<CComboCtrl>(IDC_SOUND_DEVICE)->IsSorted());
    EXPECT_EQ(dlg.GetDlgItemAs<CUpDownCtrl>(IDC_FREQ_SPIN)->GetBuddy(), dlg.GetDlgItem(IDC_TINNITUS_FREQ));
    EXPECT_EQ(dlg.RadioGroup(IDC_PHYSIOLOGICAL).size(), 5);

    // Following the focus chain from Play visits the tab stops as the window
    // reads: Actions, Audio Settings, Sleep Timer, then Noise Settings, File
    // Settings and Gentle Sound, each from top left to bottom right.
    const QList<int> readingOrder{1002, 1001, 1010, 1030, 57670, 1003, 1029, 1027, 1110, 1111, 1112, 1049, 1051, 1004,
                                  1005, 1006, 1034, 1150, 1143,  1036, 1035, 1007, 1008, 1018, 1019, 1100, 1180, 1181,
                                  1140, 1141, 1170, 1172, 1174,  1176, 1057, 1000, 1020, 1021, 1022, 1013, 1048, 1116,
                                  1114, 1115};
    QList<int> chain;
    QWidget* w = dlg.GetDlgItem(IDC_PLAY);
    const QWidget* page = w->parentWidget();
    for (qsizetype i = 0; i < readingOrder.size(); ++i)
    {
        chain.append(w->objectName().mid(7).toInt());
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || w->parentWidget() != page); // not a box's own edit
    }
    EXPECT_EQ(chain, readingOrder);

    // Frames lie behind the controls they hold and let clicks through.
    dlg.show();
    auto* radio = dlg.GetDlgItemAs<QRadioButton>(IDC_WHITE);
    EXPECT_EQ(dlg.childAt(radio->geometry().center()), radio);
    EXPECT_TRUE(dlg.GetDlgItemAs<QGroupBox>(IDC_NOISE_TYPE_GROUP)->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(DialogLayout, WindowKeepsItsProportionsAtAnyFontSize)
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
    EXPECT_EQ(units.BaseY(), QFontMetricsF(largeFont).height());
    EXPECT_EQ(large.size(), units.ToPixels(QSize(612, 356)));
    EXPECT_EQ(large.GetDlgItem(IDC_PLAY)->geometry(), units.ToPixels(QRect(52, 23, 58, 28)));
    const double ratioX = double(large.width()) / small.width();
    EXPECT_NEAR(ratioX, units.BaseX() / small.Units().BaseX(), 0.01);
    EXPECT_NEAR(double(large.height()) / small.height(), units.BaseY() / small.Units().BaseY(), 0.01);
    EXPECT_GT(ratioX, 1.7);

    // A change of font lays the window out again.
    small.setFont(largeFont);
    EXPECT_EQ(small.size(), large.size());
    EXPECT_EQ(small.GetDlgItem(IDC_FILE_NAME)->geometry(), large.GetDlgItem(IDC_FILE_NAME)->geometry());
}
