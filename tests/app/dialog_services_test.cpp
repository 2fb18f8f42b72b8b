#include "app/dialog_services.h"
#include "app/help_command.h"
#include "app/testing/recording_message_box.h"
#include "qt_test_app.h"

#include <QFileInfo>

using DialogServices = QtTest;

TEST_F(DialogServices, help_is_the_html_file_beside_the_program_and_a_missing_one_is_reported)
{
    const QString path = CDesktopHelpCommand::HelpFilePath();
    EXPECT_EQ(path, QCoreApplication::applicationFilePath() + ".html");
    ASSERT_FALSE(QFileInfo::exists(path));

    CRecordingMessageBox box;
    CScopedDialogServices scoped(&box);
    CDesktopHelpCommand().ShowHelp(nullptr);
    ASSERT_EQ(box.m_messages.size(), 1);
    EXPECT_EQ(box.m_messages[0].text, "I can't open " + path);
    EXPECT_EQ(box.m_messages[0].caption, "Warning");
}
