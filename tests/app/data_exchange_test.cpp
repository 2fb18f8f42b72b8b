// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's data exchange as the main window uses it.
#include "tests/app/main_dlg_window_fixture.h"

#include <QKeyEvent>
#include <QSignalSpy>

using DataExchange = MainWindowTest;

TEST_F(DataExchange, WritingLeavesUnchangedTextsAlone)
{
    CMainDlg& d = Start();
    QSignalSpy lower(Edit(d, IDC_LOWER_LIMIT), &QLineEdit::textChanged);
    QSignalSpy surf(Edit(d, IDC_SURF_STRENGTH), &QLineEdit::textChanged);
    d.m_surfStrength = 20.0;
    ASSERT_TRUE(d.UpdateData(false));
    EXPECT_EQ(lower.count(), 0);
    EXPECT_EQ(surf.count(), 1);
    EXPECT_EQ(Text(d, IDC_SURF_STRENGTH), "20");
}

TEST_F(DataExchange, ReadingStopsAtTheFirstFailureAndNamesIt)
{
    CMainDlg& d = Start();
    // Read before the failure; after it, not read.
    Type(d, {{IDC_LOWER_LIMIT, " 200 "}, {IDC_UPPER_LIMIT, "abc"}, {IDC_SURF_STRENGTH, "50"}});
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(TinnitusFinder)->setChecked(true);
    EXPECT_FALSE(d.UpdateData(true));
    ASSERT_EQ(m_messages.Texts(), QStringList{"Please enter a number."});
    EXPECT_EQ(m_messages.m_messages[0].caption, "susurra");
    EXPECT_EQ(m_messages.m_messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(m_messages.m_messages[0].owner, &d);
    EXPECT_EQ(d.focusWidget(), Edit(d, IDC_UPPER_LIMIT));
    EXPECT_EQ(Edit(d, IDC_UPPER_LIMIT)->selectedText(), "abc");
    EXPECT_EQ(d.m_lowerLimit, 200.0);
    EXPECT_EQ(d.m_upperLimit, 20000.0);
    EXPECT_EQ(d.m_surfStrength, 30.0);
    EXPECT_EQ(d.m_noiseType, Pink);
}

TEST_F(DataExchange, AnInvalidPlayingTimeLeavesTheEditorAlone)
{
    CMainDlg& d = Start();
    d.m_playTime.SetDateTime(1899, 12, 30, -1, 0, 0);
    ASSERT_TRUE(d.UpdateData(false));
    EXPECT_EQ(d.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->time(), QTime(1, 19, 0));
    // Reading replaces the invalid value by what the editor shows.
    ASSERT_TRUE(d.UpdateData(true));
    EXPECT_EQ(d.m_playTime.m_status, CDateTimeValue::Status::Valid);
    EXPECT_EQ(d.m_playTime.TotalSeconds(), 4740);
}

TEST_F(DataExchange, EnterInAnEditValidatesAndKeepsTheDialogOnFailure)
{
    CMainDlg& d = Start();
    QSignalSpy finished(&d, &QDialog::finished);
    Type(d, {{IDC_SURF_STRENGTH, "200"}});
    Edit(d, IDC_SURF_STRENGTH)->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(Edit(d, IDC_SURF_STRENGTH), &enter);
    EXPECT_EQ(m_messages.Texts(), QStringList{"Please enter a number between 0 and 100."});
    EXPECT_EQ(finished.count(), 0);

    Type(d, {{IDC_SURF_STRENGTH, "20"}});
    QApplication::sendEvent(Edit(d, IDC_SURF_STRENGTH), &enter);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(d.EndCode(), IDOK);
    EXPECT_EQ(d.m_surfStrength, 20.0);
}
