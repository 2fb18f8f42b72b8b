#include "app/progress_ctrl.h"
#include "app/slider_ctrl.h"
#include "app/up_down_ctrl.h"
#include "qt_test_app.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

class SmallControls : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
};

} // namespace

TEST_F(SmallControls, up_down_steps_the_buddys_integer_within_its_range)
{
    QLineEdit buddy;
    CUpDownCtrl spin;
    spin.SetBuddy(&buddy);
    spin.SetRange(20, 20000);
    QSignalSpy changes(&buddy, &QLineEdit::textChanged);

    buddy.setText("440");
    spin.Step(-1);
    EXPECT_EQ(buddy.text(), "439");
    buddy.setText("20000");
    spin.Step(+1);
    EXPECT_EQ(buddy.text(), "20000"); // no wrapping
    buddy.setText("5");
    spin.Step(-1);
    EXPECT_EQ(buddy.text(), "20");
    buddy.setText("99999");
    spin.Step(+1);
    EXPECT_EQ(buddy.text(), "20000");
    // Not a number: the last position counts.
    buddy.setText("abc");
    spin.Step(-1);
    EXPECT_EQ(buddy.text(), "19999");

    buddy.show();
    buddy.setFocus();
    QTest::keyClick(&buddy, Qt::Key_Up);
    EXPECT_EQ(buddy.text(), "20000");
    QTest::keyClick(&buddy, Qt::Key_Down);
    EXPECT_EQ(buddy.text(), "19999");
    EXPECT_EQ(spin.GetPos(), 19999);
    EXPECT_EQ(changes.count(), 11); // the step that stayed at 20000 wrote nothing
}

TEST_F(SmallControls, progress_positions_outside_the_range_are_clamped)
{
    CProgressCtrl bar;
    IProgressSink& sink = bar;
    bar.SetRange(0, 100);
    sink.SetPos(42);
    EXPECT_EQ(bar.GetPos(), 42);
    sink.SetPos(150);
    EXPECT_EQ(bar.GetPos(), 100);
    sink.SetPos(-5);
    EXPECT_EQ(bar.GetPos(), 0);
    EXPECT_FALSE(bar.isTextVisible());
}

TEST_F(SmallControls, slider_announces_every_paint)
{
    CSliderCtrl slider;
    slider.SetRange(2996, 9903, true);
    slider.SetPos(8517, true);
    EXPECT_EQ(slider.GetPos(), 8517);
    QSignalSpy draws(&slider, &CSliderCtrl::CustomDraw);
    slider.resize(200, 24);
    slider.grab();
    EXPECT_EQ(draws.count(), 1);
    slider.grab();
    EXPECT_EQ(draws.count(), 2);
}
