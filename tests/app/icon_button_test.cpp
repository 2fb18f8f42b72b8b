#include "app/balloon_tip.h"
#include "app/icon_button.h"
#include "app/resource_ids.h"
#include "qt_test_app.h"

#include <QDir>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

class IconButton : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }

    void SetUp() override
    {
        m_button.setGeometry(0, 0, 100, 50);
        m_button.setText("Play");
        m_button.SetIcon(IDI_PLAY, 0);
    }

    CIconButton m_button;
};

} // namespace

TEST_F(IconButton, places_the_icon_for_each_alignment)
{
    // Alignment 0: icon at the left margin, caption to its right.
    CIconButton::Layout l = m_button.ComputeLayout(false);
    EXPECT_EQ(l.icon, QRect(3, 9, 32, 32));
    EXPECT_EQ(l.caption, QRect(35, 0, 65, 50));

    ASSERT_EQ(m_button.SetAlignment(1), 0);
    l = m_button.ComputeLayout(false);
    EXPECT_EQ(l.icon, QRect(34, 3, 32, 32));
    EXPECT_EQ(l.caption, QRect(0, 32, 100, 18));

    ASSERT_EQ(m_button.SetAlignment(2), 0);
    l = m_button.ComputeLayout(false);
    EXPECT_EQ(l.icon, QRect(65, 9, 32, 32));
    EXPECT_EQ(l.caption, QRect(3, 0, 62, 50));

    ASSERT_EQ(m_button.SetAlignment(3), 0);
    EXPECT_EQ(m_button.ComputeLayout(false).icon, QRect(0, 0, 32, 32));

    // Without a caption the icon is centred (alignment 2: at the top).
    m_button.setText("");
    m_button.SetAlignment(1);
    EXPECT_EQ(m_button.ComputeLayout(false).icon, QRect(34, 9, 32, 32));
    m_button.SetAlignment(2);
    EXPECT_EQ(m_button.ComputeLayout(false).icon, QRect(34, 0, 32, 32));
}

TEST_F(IconButton, refuses_an_unknown_alignment_and_changes_nothing)
{
    ASSERT_EQ(m_button.SetAlignment(1), 0);
    EXPECT_EQ(m_button.SetAlignment(4), 4);
    EXPECT_EQ(m_button.SetAlignment(-1), 4);
    EXPECT_EQ(m_button.GetAlignment(), 1);
}

TEST_F(IconButton, pressing_shifts_icon_and_caption_one_pixel_and_sinks_the_edge)
{
    const CIconButton::Layout rest = m_button.ComputeLayout(false);
    const CIconButton::Layout pressed = m_button.ComputeLayout(true);
    EXPECT_EQ(pressed.icon, rest.icon.translated(1, 1));
    EXPECT_EQ(pressed.caption, rest.caption.translated(1, 1));

    m_button.show();
    const QImage flat = m_button.grab().toImage();
    EXPECT_EQ(flat.pixel(0, 0), m_button.palette().color(QPalette::Window).rgb());

    m_button.setDown(true);
    const QImage down = m_button.grab().toImage();
    const qreal dpr = down.devicePixelRatio();
    EXPECT_EQ(down.pixel(0, 0), m_button.palette().color(QPalette::Dark).rgb());
    EXPECT_EQ(down.pixel(int(99 * dpr), int(49 * dpr)), m_button.palette().color(QPalette::Light).rgb());
    m_button.setDown(false);
}

TEST_F(IconButton, hovering_raises_the_edge_until_the_pointer_leaves)
{
    m_button.show();
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(&m_button, &enter);
    EXPECT_TRUE(m_button.IsHovered());
    const QImage hot = m_button.grab().toImage();
    EXPECT_EQ(hot.pixel(0, 0), m_button.palette().color(QPalette::Light).rgb());

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&m_button, &leave);
    EXPECT_FALSE(m_button.IsHovered());
}

TEST_F(IconButton, a_double_click_gives_two_clicks)
{
    m_button.show();
    QSignalSpy clicks(&m_button, &QPushButton::clicked);
    // What the window system delivers for a double-click.
    const QPointF at(20, 20);
    const QPointF global = m_button.mapToGlobal(at);
    const QEvent::Type sequence[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                     QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
    for (QEvent::Type type : sequence)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&m_button, &event);
    }
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(IconButton, a_flat_button_draws_no_focus_rectangle)
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

TEST_F(IconButton, tooltip_and_hover_cursor_come_from_the_resources)
{
    m_button.SetBalloonTooltip();
    m_button.SetTooltipText(IDS_TIP_PLAY, true);
    EXPECT_TRUE(m_button.IsBalloonTooltip());
    EXPECT_EQ(m_button.TooltipText(), "Update the settings and play the sound");
    EXPECT_TRUE(m_button.IsTooltipActive());

    m_button.SetTooltipText(9999, false); // an empty entry changes nothing
    EXPECT_EQ(m_button.TooltipText(), "Update the settings and play the sound");
    EXPECT_TRUE(m_button.IsTooltipActive());

    EXPECT_EQ(m_button.SetHoverCursor(IDC_HAND), 0);
    EXPECT_EQ(m_button.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(m_button.SetHoverCursor(12345), 1);
    EXPECT_FALSE(m_button.HasHoverCursor());
    EXPECT_EQ(m_button.SetHoverCursor(0), 0);
}

TEST_F(IconButton, balloon_tip_shows_the_text_until_the_pointer_leaves)
{
    m_button.show();
    m_button.SetBalloonTooltip();
    m_button.SetTooltipText(IDS_TIP_TO_FILE, true);
    const QPoint at(20, 20);
    QHelpEvent help(QEvent::ToolTip, at, m_button.mapToGlobal(at));
    QApplication::sendEvent(&m_button, &help);

    CBalloonTip* tip = CBalloonTip::Shown();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Text(), "Save the sound signal to a file of your choice");
    EXPECT_EQ(tip->Owner(), &m_button);
    EXPECT_LE(tip->width(), 400 + 2 * 8 + 1);
    EXPECT_GT(tip->geometry().top(), m_button.mapToGlobal(at).y()); // below the pointer
    const QString path = QDir(QStringLiteral(SUSURRA_TEST_OUTPUT_DIR)).filePath("balloon_tip.png");
    EXPECT_TRUE(tip->grab().save(path));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&m_button, &leave);
    EXPECT_EQ(CBalloonTip::Shown(), nullptr);

    // An inactive tooltip shows nothing.
    m_button.SetTooltipText(IDS_TIP_STOP, false);
    QApplication::sendEvent(&m_button, &help);
    EXPECT_EQ(CBalloonTip::Shown(), nullptr);
}

TEST_F(IconButton, a_drag_begun_elsewhere_does_not_light_it_up)
{
    QWidget window;
    window.resize(300, 100);
    auto* button = new CIconButton(&window);
    auto* other = new QWidget(&window);
    button->setGeometry(0, 0, 100, 50);
    other->setGeometry(150, 0, 100, 50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QEvent leave(QEvent::Leave); // wherever the pointer was, it is elsewhere now
    QApplication::sendEvent(button, &leave);
    ASSERT_FALSE(button->IsHovered());

    QTest::mousePress(other, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    ASSERT_TRUE(QApplication::mouseButtons() & Qt::LeftButton);
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), button->mapToGlobal(QPointF(10, 10)));
    QApplication::sendEvent(button, &enter);
    EXPECT_FALSE(button->IsHovered());
    QTest::mouseRelease(other, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));

    QApplication::sendEvent(button, &enter);
    EXPECT_TRUE(button->IsHovered());
}
