// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/services/dialog_services.h"
#include "ui/services/help_command.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/qt_test_app.h"

#include <QFileInfo>

using DialogServices = QtTest;

TEST_F(DialogServices, HelpIsTheHtmlFileBesideTheProgramAndAMissingOneIsReported)
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
