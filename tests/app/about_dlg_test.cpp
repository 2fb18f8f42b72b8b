// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dlg.h"
#include "app/resource_ids.h"
#include "testing/ui/qt_test_app.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using AboutDlg = QtTest;

TEST_F(AboutDlg, OkAndEscapeEndEachModalRunAndItShowsIconAndVersion)
{
    CAboutDlg dlg;
    for (const auto& [key, code] :
         {std::pair{Qt::Key_Return, IDOK}, {Qt::Key_Escape, IDCANCEL}, {Qt::Key_Return, IDOK}})
    {
        QTimer::singleShot(0, &dlg, [&dlg, k = key] { QTest::keyClick(&dlg, k); });
        QTimer::singleShot(5000, &dlg, [&dlg] { dlg.done(-1); }); // never hang on the modal run
        EXPECT_EQ(dlg.DoModal(), code);
        EXPECT_FALSE(dlg.isVisible());
    }
    // The controls made by the last run.
    EXPECT_EQ(dlg.windowTitle(), "About Susurra");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_ABOUT_VERSION), "This is Susurra version 1.1");
    EXPECT_FALSE(dlg.GetDlgItemAs<QLabel>(IDC_ABOUT_ICON)->pixmap().isNull());
    EXPECT_TRUE(dlg.GetDlgItemAs<QPushButton>(IDOK)->isDefault());
}
