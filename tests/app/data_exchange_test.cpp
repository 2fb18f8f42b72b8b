#include "app/data_exchange.h"
#include "app/date_time_value.h"
#include "app/dialog_base.h"
#include "app/dialog_services.h"
#include "app/resource_ids.h"
#include "app/testing/recording_message_box.h"
#include "qt_test_app.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace
{

// The main window's members and exchange table, on its own template.
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
        dx.Text(IDC_FILE_NAME, m_fileName, 255);
        dx.Text(IDC_SURF_STRENGTH, m_surfStrength, 0.0, 100.0);
        dx.Text(IDC_FADE_IN, m_fadeIn, 0.0, 1000.0);
        dx.Text(IDC_FADE_OUT, m_fadeOut, 0.0, 1000.0);
        dx.Text(IDC_SURF_PERIOD, m_surfPeriod, 0.0, 10000.0);
        dx.DateTime(IDC_PLAY_TIME, m_playTime);
        dx.Text(IDC_STATUS, m_status);
        dx.Text(IDC_TINNITUS_FREQ, m_tinnitusFreq, 20.0, 20000.0);
        dx.Radio(IDC_PHYSIOLOGICAL, m_noiseType);
    }

    QLineEdit* Edit(int id) const { return GetDlgItemAs<QLineEdit>(id); }

    double m_lowerLimit = 20.0;
    double m_upperLimit = 20000.0;
    QString m_fileName = QStringLiteral("/tmp/noise.wav");
    double m_surfStrength = 0.1;
    double m_fadeIn = 10.0;
    double m_fadeOut = 10.0;
    double m_surfPeriod = 8.0;
    CDateTimeValue m_playTime;
    QString m_status = QStringLiteral("nothing to do");
    int m_tinnitusFreq = 440;
    int m_noiseType = 2;
};

class DataExchange : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }

    void SetUp() override
    {
        m_dlg.show();
        m_dlg.activateWindow();
        ASSERT_TRUE(m_dlg.UpdateData(false));
    }

    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& m : m_box.m_messages)
            texts.append(m.text);
        return texts;
    }

    CRecordingMessageBox m_box;
    CScopedDialogServices m_services{&m_box};
    CExchangeDlg m_dlg;
};

} // namespace

TEST_F(DataExchange, writing_shows_members_in_the_controls)
{
    EXPECT_EQ(m_dlg.Edit(IDC_LOWER_LIMIT)->text(), "20");
    EXPECT_EQ(m_dlg.Edit(IDC_UPPER_LIMIT)->text(), "20000");
    EXPECT_EQ(m_dlg.Edit(IDC_SURF_PERIOD)->text(), "8");
    EXPECT_EQ(m_dlg.Edit(IDC_SURF_STRENGTH)->text(), "0.1");
    EXPECT_EQ(m_dlg.Edit(IDC_TINNITUS_FREQ)->text(), "440");
    EXPECT_EQ(m_dlg.Edit(IDC_FILE_NAME)->text(), "/tmp/noise.wav");
    EXPECT_EQ(m_dlg.GetDlgItemAs<QLabel>(IDC_STATUS)->text(), "nothing to do");
    EXPECT_EQ(m_dlg.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->time(), QTime(1, 19, 0));
    EXPECT_TRUE(m_dlg.GetDlgItemAs<QRadioButton>(IDC_PINK)->isChecked());
    EXPECT_TRUE(m_box.m_messages.isEmpty());
}

TEST_F(DataExchange, unchanged_values_raise_no_change_notification)
{
    QSignalSpy lower(m_dlg.Edit(IDC_LOWER_LIMIT), &QLineEdit::textChanged);
    QSignalSpy surf(m_dlg.Edit(IDC_SURF_PERIOD), &QLineEdit::textChanged);
    ASSERT_TRUE(m_dlg.UpdateData(false));
    EXPECT_EQ(lower.count(), 0);
    EXPECT_EQ(surf.count(), 0);

    m_dlg.m_surfPeriod = 20.0;
    ASSERT_TRUE(m_dlg.UpdateData(false));
    EXPECT_EQ(lower.count(), 0);
    EXPECT_EQ(surf.count(), 1);
    EXPECT_EQ(m_dlg.Edit(IDC_SURF_PERIOD)->text(), "20");
}

TEST_F(DataExchange, reading_takes_valid_texts_into_members)
{
    m_dlg.Edit(IDC_LOWER_LIMIT)->setText(" 100 ");
    m_dlg.Edit(IDC_SURF_STRENGTH)->setText("30.5");
    m_dlg.Edit(IDC_TINNITUS_FREQ)->setText("19999");
    m_dlg.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->setTime(QTime(23, 59, 59));
    m_dlg.GetDlgItemAs<QRadioButton>(IDC_TINNITUS_FINDER)->setChecked(true);
    ASSERT_TRUE(m_dlg.UpdateData(true));
    EXPECT_EQ(m_dlg.m_lowerLimit, 100.0);
    EXPECT_EQ(m_dlg.m_surfStrength, 30.5);
    EXPECT_EQ(m_dlg.m_tinnitusFreq, 19999);
    EXPECT_EQ(m_dlg.m_playTime.TotalSeconds(), 86399);
    EXPECT_EQ(m_dlg.m_noiseType, 3);
    EXPECT_TRUE(m_box.m_messages.isEmpty());
}

TEST_F(DataExchange, first_failure_is_reported_focused_and_stops_the_pass)
{
    m_dlg.Edit(IDC_UPPER_LIMIT)->setText("abc");
    m_dlg.Edit(IDC_SURF_STRENGTH)->setText("500"); // after the first failure: not read
    m_dlg.Edit(IDC_LOWER_LIMIT)->setText("100");   // before it: read

    EXPECT_FALSE(m_dlg.UpdateData(true));
    ASSERT_EQ(Messages(), QStringList{"Please enter a number."});
    EXPECT_EQ(m_box.m_messages[0].caption, "susurra");
    EXPECT_EQ(m_box.m_messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(m_box.m_messages[0].owner, &m_dlg);
    EXPECT_EQ(m_dlg.focusWidget(), m_dlg.Edit(IDC_UPPER_LIMIT));
    EXPECT_EQ(m_dlg.Edit(IDC_UPPER_LIMIT)->selectedText(), "abc");
    EXPECT_EQ(m_dlg.m_lowerLimit, 100.0);
    EXPECT_EQ(m_dlg.m_upperLimit, 20000.0);
    EXPECT_EQ(m_dlg.m_surfStrength, 0.1);
}

TEST_F(DataExchange, each_check_has_its_own_message)
{
    struct Case
    {
        const char* name;
        int id;
        QString text;
        QString message;
    };
    const Case cases[] = {
        {"lower limit below range", IDC_LOWER_LIMIT, "5", "Please enter a number between 20 and 20000."},
        {"surf strength above range", IDC_SURF_STRENGTH, "100.5", "Please enter a number between 0 and 100."},
        {"fade-out negative", IDC_FADE_OUT, "-1", "Please enter a number between 0 and 1000."},
        {"surf period too long", IDC_SURF_PERIOD, "1e999", "Please enter a number between 0 and 10000."},
        {"file name too long", IDC_FILE_NAME, QString(256, QLatin1Char('x')),
         "Please enter no more than 255 characters."},
        {"frequency empty", IDC_TINNITUS_FREQ, "", "Please enter an integer."},
        {"frequency fractional", IDC_TINNITUS_FREQ, "440.5", "Please enter an integer."},
        {"frequency above range", IDC_TINNITUS_FREQ, "25000", "Please enter a number between 20 and 20000."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_dlg.UpdateData(false));
        const QString good = m_dlg.Edit(c.id)->text();
        m_box.m_messages.clear();
        m_dlg.Edit(c.id)->setText(c.text);
        EXPECT_FALSE(m_dlg.UpdateData(true));
        EXPECT_EQ(Messages(), QStringList{c.message});
        EXPECT_EQ(m_dlg.focusWidget(), m_dlg.Edit(c.id));
        m_dlg.Edit(c.id)->setText(good);
    }
    // Members kept their values through all of it.
    EXPECT_EQ(m_dlg.m_lowerLimit, 20.0);
    EXPECT_EQ(m_dlg.m_surfStrength, 0.1);
    EXPECT_EQ(m_dlg.m_fadeOut, 10.0);
    EXPECT_EQ(m_dlg.m_surfPeriod, 8.0);
    EXPECT_EQ(m_dlg.m_fileName, "/tmp/noise.wav");
    EXPECT_EQ(m_dlg.m_tinnitusFreq, 440);
}

TEST_F(DataExchange, a_file_name_of_exactly_255_characters_is_accepted)
{
    const QString name(255, QLatin1Char('n'));
    m_dlg.Edit(IDC_FILE_NAME)->setText(name);
    EXPECT_TRUE(m_dlg.UpdateData(true));
    EXPECT_EQ(m_dlg.m_fileName, name);
}

TEST_F(DataExchange, quiet_reading_shows_nothing_and_keeps_failing_members)
{
    QWidget* focusBefore = m_dlg.focusWidget();
    m_dlg.Edit(IDC_LOWER_LIMIT)->setText("x");
    m_dlg.Edit(IDC_UPPER_LIMIT)->setText("5000");
    m_dlg.Edit(IDC_SURF_STRENGTH)->setText("101");
    m_dlg.Edit(IDC_SURF_PERIOD)->setText("12");

    EXPECT_FALSE(m_dlg.UpdateDataQuietly());
    EXPECT_TRUE(m_box.m_messages.isEmpty());
    EXPECT_EQ(m_dlg.focusWidget(), focusBefore);
    EXPECT_EQ(m_dlg.m_lowerLimit, 20.0);
    EXPECT_EQ(m_dlg.m_upperLimit, 5000.0);
    EXPECT_EQ(m_dlg.m_surfStrength, 0.1);
    EXPECT_EQ(m_dlg.m_surfPeriod, 12.0);
}

TEST_F(DataExchange, an_invalid_playing_time_leaves_the_editor_alone)
{
    auto* editor = m_dlg.GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME);
    m_dlg.m_playTime.SetDateTime(1899, 12, 30, 2, 0, 30);
    ASSERT_TRUE(m_dlg.UpdateData(false));
    EXPECT_EQ(editor->time(), QTime(2, 0, 30));

    m_dlg.m_playTime.SetDateTime(1899, 12, 30, -1, 0, 0);
    ASSERT_TRUE(m_dlg.UpdateData(false));
    EXPECT_EQ(editor->time(), QTime(2, 0, 30));

    // Reading replaces the invalid value by what the editor shows.
    ASSERT_TRUE(m_dlg.UpdateData(true));
    EXPECT_EQ(m_dlg.m_playTime.m_status, CDateTimeValue::Status::Valid);
    EXPECT_EQ(m_dlg.m_playTime.TotalSeconds(), 7230);
}

TEST_F(DataExchange, enter_in_an_edit_validates_and_keeps_the_dialog_on_failure)
{
    QSignalSpy finished(&m_dlg, &QDialog::finished);
    m_dlg.Edit(IDC_FADE_IN)->setText("2000");
    m_dlg.Edit(IDC_FADE_IN)->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(m_dlg.Edit(IDC_FADE_IN), &enter);
    EXPECT_EQ(Messages(), QStringList{"Please enter a number between 0 and 1000."});
    EXPECT_EQ(finished.count(), 0);

    m_dlg.Edit(IDC_FADE_IN)->setText("20");
    QApplication::sendEvent(m_dlg.Edit(IDC_FADE_IN), &enter);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(m_dlg.EndCode(), IDOK);
    EXPECT_EQ(m_dlg.m_fadeIn, 20.0);
}
