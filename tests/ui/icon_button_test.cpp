// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/balloon_tip.h"
#include "ui/controls/icon_button.h"
#include "testing/param_name.h"
#include "testing/ui/qt_test_app.h"

#include <QHelpEvent>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

namespace
{

class IconButton : public QtTest
{
protected:
    void SetUp() override
    {
        m_button.setGeometry(0, 0, 100, 50);
        m_button.setText("Play");
        QPixmap icon(32, 32);
        icon.fill(Qt::darkGreen);
        m_button.SetIcon(QIcon(icon));
    }

    QRgb Pixel(int x, int y)
    {
        const QImage image = m_button.grab().toImage();
        const qreal dpr = image.devicePixelRatio();
        return image.pixel(int(x * dpr), int(y * dpr));
    }
    QRgb Color(QPalette::ColorRole role) const { return m_button.palette().color(role).rgb(); }

    CIconButton m_button;
};

struct AlignmentCase
{
    const char* name;
    int alignment;
    const char* caption;
    QRect icon;
    QRect captionArea; // null: not checked
};

class IconButtonAlignment : public IconButton, public testing::WithParamInterface<AlignmentCase>
{};

} // namespace

TEST_P(IconButtonAlignment, PlacesIconAndCaptionAndShiftsThemWhenPressed)
{
    const AlignmentCase& c = GetParam();
    m_button.setText(c.caption);
    ASSERT_EQ(m_button.SetAlignment(c.alignment), 0);
    const CIconButton::Layout rest = m_button.ComputeLayout(false);
    EXPECT_EQ(rest.icon, c.icon);
    EXPECT_EQ(c.captionArea.isNull() ? QRect() : rest.caption, c.captionArea);
    const CIconButton::Layout pressed = m_button.ComputeLayout(true);
    EXPECT_EQ(pressed.icon, rest.icon.translated(1, 1));
    EXPECT_EQ(pressed.caption, rest.caption.translated(1, 1));
}

INSTANTIATE_TEST_SUITE_P(
    IconButton, IconButtonAlignment,
    testing::Values(AlignmentCase{"LeftOfCaption", 0, "Play", QRect(3, 9, 32, 32), QRect(35, 0, 65, 50)},
                    AlignmentCase{"AboveCaption", 1, "Play", QRect(34, 3, 32, 32), QRect(0, 32, 100, 18)},
                    AlignmentCase{"RightOfCaption", 2, "Play", QRect(65, 9, 32, 32), QRect(3, 0, 62, 50)},
                    AlignmentCase{"TopLeftCorner", 3, "Play", QRect(0, 0, 32, 32), QRect()},
                    AlignmentCase{"AboveWithoutCaptionIsCentred", 1, "", QRect(34, 9, 32, 32), QRect()},
                    AlignmentCase{"RightWithoutCaptionIsAtTheTop", 2, "", QRect(34, 0, 32, 32), QRect()}),
    RowName());

TEST_F(IconButton, UnknownAlignmentIsRefusedAndChangesNothing)
{
    ASSERT_EQ(m_button.SetAlignment(2), 0);
    EXPECT_EQ(m_button.SetAlignment(4), 4);
    EXPECT_EQ(m_button.SetAlignment(-1), 4);
    EXPECT_EQ(m_button.GetAlignment(), 2);
}

TEST_F(IconButton, EdgeRisesUnderThePointerAndSinksWhenPressed)
{
    QWidget other;
    other.show();
    m_button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_button));
    QEvent leave(QEvent::Leave); // wherever the pointer was, it is elsewhere now
    QApplication::sendEvent(&m_button, &leave);
    EXPECT_EQ(Pixel(0, 0), Color(QPalette::Window));

    m_button.setDown(true);
    EXPECT_EQ(Pixel(0, 0), Color(QPalette::Dark));
    EXPECT_EQ(Pixel(99, 49), Color(QPalette::Light));
    m_button.setDown(false);

    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), m_button.mapToGlobal(QPointF(10, 10)));
    QApplication::sendEvent(&m_button, &enter);
    EXPECT_TRUE(m_button.IsHovered());
    EXPECT_EQ(Pixel(0, 0), Color(QPalette::Light));
    QApplication::sendEvent(&m_button, &leave);
    EXPECT_FALSE(m_button.IsHovered());

    // A drag begun elsewhere does not light it up.
    QTest::mousePress(&other, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    ASSERT_TRUE(QApplication::mouseButtons() & Qt::LeftButton);
    QApplication::sendEvent(&m_button, &enter);
    EXPECT_FALSE(m_button.IsHovered());
    QTest::mouseRelease(&other, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QApplication::sendEvent(&m_button, &enter);
    EXPECT_TRUE(m_button.IsHovered());
}

TEST_F(IconButton, ADoubleClickGivesTwoClicks)
{
    m_button.show();
    QSignalSpy clicks(&m_button, &QPushButton::clicked);
    // What the window system delivers for a double-click.
    const QPointF at(20, 20);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease})
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, m_button.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&m_button, &event);
    }
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(IconButton, AFlatButtonDrawsAFocusRectangleOnlyWhenAsked)
{
    QWidget window;
    CIconButton* button = new CIconButton(&window);
    CIconButton* other = new CIconButton(&window);
    button->setGeometry(0, 0, 100, 50);
    other->setGeometry(0, 60, 100, 50);
    button->setText("Stop");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    const QImage unfocused = button->grab().toImage();
    button->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button->hasFocus());
    EXPECT_EQ(button->grab().toImage(), unfocused);

    button->SetFocusRectWhenFlat(true);
    EXPECT_NE(button->grab().toImage(), unfocused);
}

TEST_F(IconButton, BalloonTipShowsOnlyAnActiveTooltip)
{
    m_button.show();
    m_button.SetBalloonTooltip();
    m_button.SetTooltipText("Save the sound signal to a file of your choice", true);
    m_button.SetTooltipText("", true); // an empty text changes nothing
    const QPoint at(20, 20);
    QHelpEvent help(QEvent::ToolTip, at, m_button.mapToGlobal(at));
    QApplication::sendEvent(&m_button, &help);

    CBalloonTip* tip = CBalloonTip::Shown();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Text(), "Save the sound signal to a file of your choice");
    EXPECT_EQ(tip->Owner(), &m_button);
    EXPECT_LE(tip->width(), 400 + 2 * 8 + 1);
    EXPECT_GT(tip->geometry().top(), m_button.mapToGlobal(at).y()); // below the pointer
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&m_button, &leave);
    EXPECT_EQ(CBalloonTip::Shown(), nullptr);

    // An inactive tooltip shows nothing.
    m_button.SetTooltipText("Stop playing the sound", false);
    QApplication::sendEvent(&m_button, &help);
    EXPECT_EQ(CBalloonTip::Shown(), nullptr);
}

TEST_F(IconButton, HoverCursorIsSetAndCleared)
{
    m_button.SetHoverCursor(QCursor(Qt::PointingHandCursor));
    EXPECT_EQ(m_button.cursor().shape(), Qt::PointingHandCursor);
    m_button.SetHoverCursor(std::nullopt);
    EXPECT_EQ(m_button.cursor().shape(), Qt::ArrowCursor);
}
