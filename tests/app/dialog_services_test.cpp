#include "app/dialog_base.h"
#include "app/dialog_services.h"
#include "app/help_command.h"
#include "app/resource_ids.h"
#include "app/save_file_dialog.h"
#include "app/testing/recording_help_command.h"
#include "app/testing/recording_message_box.h"
#include "app/testing/scripted_save_file_dialog.h"
#include "qt_test_app.h"

#include <QDir>
#include <QPushButton>

#include <gtest/gtest.h>

namespace
{

class DialogServices : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
};

} // namespace

TEST_F(DialogServices, scripted_services_stand_in_and_are_restored)
{
    CRecordingMessageBox box;
    CScriptedSaveFileDialog chooser;
    CRecordingHelpCommand help;
    IMessageBox* real = &CDialogServices::MessageBox();
    {
        CScopedDialogServices scoped(&box, &chooser, &help);
        chooser.m_answers = {QStringLiteral("/tmp/a.wav"), std::nullopt};
        EXPECT_EQ(CDialogServices::SaveFileDialog().ChooseSaveFile(nullptr, SaveFileOptions{}), "/tmp/a.wav");
        EXPECT_EQ(CDialogServices::SaveFileDialog().ChooseSaveFile(nullptr, SaveFileOptions{}), std::nullopt);
        CDialogServices::HelpCommand().ShowHelp(nullptr);
        EXPECT_EQ(help.m_requests, 1);
        EXPECT_EQ(&CDialogServices::MessageBox(), &box);
    }
    EXPECT_EQ(&CDialogServices::MessageBox(), real);

    // What the wave file chooser offers.
    ASSERT_EQ(chooser.m_offered.size(), 2);
    const SaveFileOptions& offered = chooser.m_offered.first();
    EXPECT_EQ(offered.filterName, "Microsoft wave format (*.wav)");
    EXPECT_EQ(offered.filterPattern, "*.wav");
    EXPECT_EQ(offered.defaultSuffix, "wav");
    EXPECT_EQ(offered.initialName, "noise.wav");
    EXPECT_TRUE(offered.confirmOverwrite);
}

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

TEST_F(DialogServices, a_modeless_dialog_hides_when_it_ends_and_keeps_its_controls)
{
    CDialogBase dlg(IDD_SAVE_SETTING);
    ASSERT_TRUE(dlg.Create());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.windowTitle(), "Manage Settings");
    dlg.ShowWindow(true);
    EXPECT_TRUE(dlg.isVisible());
    dlg.SetDlgItemText(IDC_SETTING_NAME, "My Surf");

    dlg.GetDlgItemAs<QPushButton>(IDOK)->click(); // "Finished"
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.EndCode(), IDOK);
    QWidget* name = dlg.GetDlgItem(IDC_SETTING_NAME);
    dlg.ShowWindow(true);
    EXPECT_EQ(dlg.GetDlgItem(IDC_SETTING_NAME), name);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SETTING_NAME), "My Surf");
    dlg.reject(); // Escape or the close box
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.EndCode(), IDCANCEL);
}
