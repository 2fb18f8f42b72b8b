// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/data_exchange.h"
#include "ui/controls/date_time_value.h"
#include "ui/dialog/dialog_base.h"
#include "ui/services/dialog_services.h"
#include "app/resource_ids.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/qt_test_app.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimeEdit>

namespace
{

// A few exchanges of each kind, on the main window's template.
class CExchangeDlg : public CDialogBase
{
public:
    CExchangeDlg()
        : CDialogBase(IDD_MAIN)
    {
        m_playTime.SetDateTime(1899, 12, 30, 1, 19, 0);
        Create();
    }

    void DoDataExchange(CDataExchange& dx) override
    {
        dx.Text(IDC_LOWER_LIMIT, m_lowerLimit, 20.0, 20000.0);
        dx.Text(IDC_UPPER_LIMIT, m_upperLimit, 20.0, 20000.0);
        dx.Text(IDC_SURF_STRENGTH, m_surfStrength, 0.0, 100.0);
        dx.DateTime(IDC_PLAY_TIME, m_playTime);
        dx.Radio(IDC_PHYSIOLOGICAL, m_noiseType);
    }

    QLineEdit* Edit(int id) const { return GetDlgItemAs<QLineEdit>(id); }

    double m_lowerLimit = 20.0;
    double m_upperLimit = 20000.0;
    double m_surfStrength = 0.1;
    CDateTimeValue m_playTime;
    int m_noiseType = 2;
};

class DataExchange : public QtTest
{
protected:
    void SetUp() override
    {
        m_dlg.show();
        m_dlg.activateWindow();
        ASSERT_TRUE(m_dlg.UpdateData(false));
    }

    CRecordingMessageBox m_box;
    CScopedDialogServices m_services{&m_box};
    CExchangeDlg m_dlg;
};

} // namespace

TEST_F(DataExchange, WritingLeavesUnchangedTextsAlone)
{
    QSignalSpy lower(m_dlg.Edit(IDC_LOWER_LIMIT), &QLineEdit::textChanged);
    QSignalSpy surf(m_dlg.Edit(IDC_SURF_STRENGTH), &QLineEdit::textChanged);
    m_dlg.m_surfStrength = 20.0;
    ASSERT_TRUE(m_dlg.UpdateData(false));
    EXPECT_EQ(lower.count(), 0);
    EXPECT_EQ(surf.count(), 1);
    EXPECT_EQ(m_dlg.Edit(IDC_SURF_STRENGTH)->text(), "20");
}

TEST_F(DataExchange, ReadingStopsAtTheFirstFailureAndNamesIt)
{
    m_dlg.Edit(IDC_LOWER_LIMIT)->setText(" 200 "); // before the failure: read
    m_dlg.GetDlgItemAs<QRadioButton>(IDC_TINNITUS_FINDER)->setChecked(true); // after it: not read
    m_dlg.Edit(IDC_UPPER_LIMIT)->setText("abc");
    m_dlg.Edit(IDC_SURF_STRENGTH)->setText("50"); // after it: not read
    EXPECT_FALSE(m_dlg.UpdateData(true));
    ASSERT_EQ(m_box.Texts(), QStringList{"Please enter a number."});
    EXPECT_EQ(m_box.m_messages[0].caption, "susurra");
    EXPECT_EQ(m_box.m_messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(m_box.m_messages[0].owner, &m_dlg);
    EXPECT_EQ(m_dlg.focusWidget(), m_dlg.Edit(IDC_UPPER_LIMIT));
    EXPECT_EQ(m_dlg.Edit(IDC_UPPER_LIMIT)->selectedText(), "abc");
    EXPECT_EQ(m_dlg.m_lowerLimit, 200.0);
    EXPECT_EQ(m_dlg.m_upperLimit, 20000.0);
    EXPECT_EQ(m_dlg.m_surfStrength, 0.1);
    EXPECT_EQ(m_dlg.m_noiseType, 2);
}

TEST_F(DataExchange, AnInvalidPlayingTimeLeavesTheEditorAlone)
{
    auto* editor = m_dlg.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME);
    m_dlg.m_playTime.SetDateTime(1899, 12, 30, -1, 0, 0);
    ASSERT_TRUE(m_dlg.UpdateData(false));
    EXPECT_EQ(editor->time(), QTime(1, 19, 0));
    // Reading replaces the invalid value by what the editor shows.
    ASSERT_TRUE(m_dlg.UpdateData(true));
    EXPECT_EQ(m_dlg.m_playTime.m_status, CDateTimeValue::Status::Valid);
    EXPECT_EQ(m_dlg.m_playTime.TotalSeconds(), 4740);
}

TEST_F(DataExchange, EnterInAnEditValidatesAndKeepsTheDialogOnFailure)
{
    QSignalSpy finished(&m_dlg, &QDialog::finished);
    m_dlg.Edit(IDC_SURF_STRENGTH)->setText("200");
    m_dlg.Edit(IDC_SURF_STRENGTH)->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(m_dlg.Edit(IDC_SURF_STRENGTH), &enter);
    EXPECT_EQ(m_box.Texts(), QStringList{"Please enter a number between 0 and 100."});
    EXPECT_EQ(finished.count(), 0);

    m_dlg.Edit(IDC_SURF_STRENGTH)->setText("20");
    QApplication::sendEvent(m_dlg.Edit(IDC_SURF_STRENGTH), &enter);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(m_dlg.EndCode(), IDOK);
    EXPECT_EQ(m_dlg.m_surfStrength, 20.0);
}
