// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/services/dialog_services.h"
#include "ui/services/help_command.h"
#include "ui/services/save_file_dialog.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/qt_test_app.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

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

// A page in the user's language comes first; English is what is left.
struct HelpLanguage
{
    const char* name;
    QLocale::Language language;
    const char* page; // suffix of the page expected, "" for the English one
};

class HelpPage : public QtTest, public testing::WithParamInterface<HelpLanguage>
{
protected:
    ~HelpPage() override
    {
        QLocale::setDefault(QLocale::c());
        for (const QString& suffix : {QStringLiteral(".html"), QStringLiteral("_de.html")})
            QFile::remove(QCoreApplication::applicationFilePath() + suffix);
    }
};

TEST_P(HelpPage, ThePageInTheUsersLanguageComesFirst)
{
    for (const QString& suffix : {QStringLiteral(".html"), QStringLiteral("_de.html")})
    {
        QFile page(QCoreApplication::applicationFilePath() + suffix);
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    }
    QLocale::setDefault(QLocale(GetParam().language));
    EXPECT_EQ(CDesktopHelpCommand::HelpFilePath(),
              QCoreApplication::applicationFilePath() + GetParam().page + QStringLiteral(".html"));
}

INSTANTIATE_TEST_SUITE_P(Languages, HelpPage,
                         testing::Values(HelpLanguage{"German", QLocale::German, "_de"},
                                         HelpLanguage{"FrenchWithoutItsPage", QLocale::French, ""},
                                         HelpLanguage{"English", QLocale::English, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace
{

// Answers the real chooser once it shows: picks filter `filter` as a user
// would, types `name` and accepts.
void AnswerChooser(int filter, const QString& name)
{
    QTimer::singleShot(100, [filter, name] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(types, nullptr);
        ASSERT_NE(edit, nullptr);
        types->setCurrentIndex(filter);
        // What a click on the list sends.
        emit types->activated(filter);
        emit types->textActivated(types->itemText(filter));
        edit->setText(name);
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does
    });
}

} // namespace

TEST_F(DialogServices, SaveChooserGivesABareNameTheChosenTypesSuffix)
{
    QTemporaryDir folder;
    SaveFileOptions options;
    options.moreFilters = {QStringLiteral("FLAC, lossless (*.flac)"), QStringLiteral("Ogg Opus (*.opus)")};
    options.initialFolder = folder.path();
    options.initialName = QStringLiteral("noise.wav");
    CQtSaveFileDialog chooser;

    AnswerChooser(2, QStringLiteral("night"));
    EXPECT_EQ(chooser.ChooseSaveFile(nullptr, options), folder.filePath("night.opus"));
    AnswerChooser(0, QStringLiteral("day"));
    EXPECT_EQ(chooser.ChooseSaveFile(nullptr, options), folder.filePath("day.wav"));
    // A suffix typed by the user stays, whichever type is shown.
    AnswerChooser(1, QStringLiteral("dusk.mp3"));
    EXPECT_EQ(chooser.ChooseSaveFile(nullptr, options), folder.filePath("dusk.mp3"));
}
