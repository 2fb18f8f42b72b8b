#include "app/about_dlg.h"
#include "app/resource_ids.h"
#include "qt_test_app.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace
{

class AboutDlg : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
};

// Presses a key in the active modal dialog once the modal run has started.
void PressWhenShown(CAboutDlg& dlg, Qt::Key key)
{
    QTimer::singleShot(0, &dlg, [&dlg, key] { QTest::keyClick(&dlg, key); });
    // Never let a failing test hang on the modal run.
    QTimer::singleShot(5000, &dlg, [&dlg] { dlg.done(-1); });
}

} // namespace

TEST_F(AboutDlg, shows_icon_and_version_line)
{
    CAboutDlg dlg;
    dlg.Create();
    EXPECT_EQ(dlg.windowTitle(), "About Susurra");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_ABOUT_VERSION), "This is Susurra version 1.1");
    auto* icon = dlg.GetDlgItemAs<QLabel>(IDC_ABOUT_ICON);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    auto* ok = dlg.GetDlgItemAs<QPushButton>(IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(ok->text(), "OK");

    // OK sits centred below the frame.
    const QRect frame = dlg.Controls().first()->geometry();
    EXPECT_GT(ok->geometry().top(), frame.bottom());
    EXPECT_LE(std::abs(ok->geometry().center().x() - dlg.width() / 2), 2);
    // The version line fits on its line.
    auto* version = dlg.GetDlgItemAs<QLabel>(IDC_ABOUT_VERSION);
    EXPECT_LE(version->sizeHint().width(), version->width());

    // A picture of the box, to look at.
    dlg.show();
    const QString path = QDir(QStringLiteral(SUSURRA_TEST_OUTPUT_DIR)).filePath("about_box.png");
    EXPECT_TRUE(dlg.grab().save(path));
}

TEST_F(AboutDlg, ok_and_escape_end_the_same_box_again_and_again)
{
    CAboutDlg dlg;
    PressWhenShown(dlg, Qt::Key_Return);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.isVisible());

    PressWhenShown(dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    PressWhenShown(dlg, Qt::Key_Return);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_ABOUT_VERSION), "This is Susurra version 1.1");
}
