// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/progress_ctrl.h"
#include "ui/controls/up_down_ctrl.h"
#include "testing/ui/qt_test_app.h"

#include <QLineEdit>
#include <QTest>

using SmallControls = QtTest;

TEST_F(SmallControls, UpDownStepsTheBuddysIntegerWithinItsRange)
{
    QLineEdit buddy;
    CUpDownCtrl spin;
    spin.SetBuddy(&buddy);
    spin.SetRange(20, 20000);
    struct Case
    {
        const char* before;
        int step;
        const char* after;
    };
    const Case cases[] = {
        {"440", -1, "439"},     {"20000", +1, "20000"}, {"5", -1, "20"},
        {"99999", +1, "20000"}, {"abc", -1, "19999"}, // not a number: the last position counts
    };
    for (const Case& c : cases)
    {
        buddy.setText(c.before);
        spin.Step(c.step);
        EXPECT_EQ(buddy.text(), c.after) << c.before;
    }
    buddy.show();
    buddy.setFocus();
    QTest::keyClick(&buddy, Qt::Key_Up);
    EXPECT_EQ(buddy.text(), "20000");
    QTest::keyClick(&buddy, Qt::Key_Down);
    EXPECT_EQ(buddy.text(), "19999");
}

TEST_F(SmallControls, ProgressPositionsOutsideTheRangeAreClamped)
{
    CProgressCtrl bar;
    IProgressSink& sink = bar;
    bar.SetRange(0, 100);
    sink.SetPos(150);
    EXPECT_EQ(bar.GetPos(), 100);
    sink.SetPos(-5);
    EXPECT_EQ(bar.GetPos(), 0);
}
