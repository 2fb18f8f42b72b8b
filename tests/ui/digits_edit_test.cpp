// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/digits_edit.h"
#include "testing/ui/qt_test_app.h"

#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(DigitsEdit, RefusesTypedNonDigitsButTakesPastedText)
{
    EnsureQtApp();
    CDigitsEdit edit;
    edit.show();
    edit.setFocus();
    QSignalSpy changes(&edit, &QLineEdit::textChanged);

    QTest::keyClicks(&edit, "4a4-0.x");
    EXPECT_EQ(edit.text(), "440");
    EXPECT_EQ(changes.count(), 3);

    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "44");

    QApplication::clipboard()->setText("1.5e3 Hz");
    edit.clear();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "1.5e3 Hz");

    edit.setText("-20"); // the program may set anything
    EXPECT_EQ(edit.text(), "-20");
}
