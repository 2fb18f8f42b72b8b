// SPDX-License-Identifier: GPL-3.0-or-later
// The main window towards the desktop: the quiet leave of the media
// controls, the file types of To File and devices that come and go.
#include "app/main_dlg.h"
#include "app/resource_ids.h"
#include "testing/fake_wave_out.h"
#include "testing/ui/qt_test_app.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/scripted_save_file_dialog.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/services/dialog_services.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <memory>

namespace
{

class MainDlgDesktop : public QtTest
{
protected:
    MainDlgDesktop() { m_waveOut.SetDevices({{"Default output", true}, {"Speakers", true}, {"USB", true}}); }

    std::unique_ptr<CMainDlg> Start()
    {
        auto dialog = std::make_unique<CMainDlg>(m_waveOut, m_folder.path().toStdString() + "/");
        dialog->ShowWindow(true);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }

    QStringList Files() const { return QDir(m_folder.path()).entryList(QDir::Files); }
    static QStringList Entries(CComboCtrl* combo)
    {
        QStringList names;
        for (int i = 0; i < combo->GetCount(); ++i)
            names << combo->GetLBText(i);
        return names;
    }

    QTemporaryDir m_folder;
    CFakeWaveOut m_waveOut;
    CRecordingMessageBox m_messages;
    CScriptedSaveFileDialog m_chooser;
    CScopedDialogServices m_services{&m_messages, &m_chooser};
};

TEST_F(MainDlgDesktop, QuietLeaveWithValidValuesWritesBothSettingsFiles)
{
    auto dialog = Start();
    dialog->LeaveQuietly();
    EXPECT_EQ(dialog->EndCode(), IDOK);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_EQ(Files(), (QStringList{"fs.srx", "ns.srx"}));
}

TEST_F(MainDlgDesktop, QuietLeaveWithABadValueLeavesAsTheCloseBoxWithoutAMessage)
{
    auto dialog = Start();
    dialog->GetDlgItemAs<QLineEdit>(IDC_LOWER_LIMIT)->setText("not a number");
    dialog->LeaveQuietly();
    EXPECT_EQ(dialog->EndCode(), IDCANCEL);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(MainDlgDesktop, QuietLeaveClosesAnAboutBoxOpenOverTheWindowFirst)
{
    auto dialog = Start();
    bool aboutOpen = false;
    QTimer::singleShot(50, dialog.get(), [&] {
        aboutOpen = QApplication::activeModalWidget() == &dialog->m_aboutDlg;
        dialog->LeaveQuietly();
    });
    dialog->OnTools();  // returns once the About box is gone
    EXPECT_TRUE(aboutOpen);
    QTest::qWait(50);
    EXPECT_EQ(dialog->EndCode(), IDOK);
    EXPECT_EQ(Files(), (QStringList{"fs.srx", "ns.srx"}));
}

TEST_F(MainDlgDesktop, ToFileRefusesAnUnknownSuffixWithAMessage)
{
    auto dialog = Start();
    const QString path = m_folder.filePath("night.ogg");
    dialog->GetDlgItemAs<QLineEdit>(IDC_FILE_NAME)->setText(path);
    dialog->GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->setTime(QTime(0, 0, 2));
    dialog->OnToFile();
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_EQ(m_messages.Texts()[0],
              "I can't write " + path + ": the name must end in .wav, .flac, .opus or .mp3 "
                                        "(the suffix chooses the file type).");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(dialog->GetDlgItemText(IDC_STATUS), "nothing to do");
}

TEST_F(MainDlgDesktop, ToFileOffersTheFourTypesAndWritesTheChosenOne)
{
    auto dialog = Start();
    dialog->GetDlgItemAs<QLineEdit>(IDC_FILE_NAME)->setText("");
    dialog->GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->setTime(QTime(0, 0, 2));
    const QString path = m_folder.filePath("night.flac");
    m_chooser.m_answers = {path};
    dialog->OnToFile();
    ASSERT_EQ(m_chooser.m_offered.size(), 1);
    EXPECT_EQ(m_chooser.m_offered[0].moreFilters,
              (QStringList{"FLAC, lossless (*.flac)", "Ogg Opus (*.opus)", "MP3 (*.mp3)"}));
    EXPECT_TRUE(m_messages.Texts().isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(4), "fLaC");
}

TEST_F(MainDlgDesktop, DevicesThatComeAndGoShowWhileTheChosenOneStays)
{
    auto dialog = Start();
    auto* combo = dialog->GetDlgItemAs<CComboCtrl>(IDC_SOUND_DEVICE);
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    ASSERT_EQ(m_waveOut.OpenDevice(), 2u);

    m_waveOut.SetDevices({{"Default output", true}, {"Speakers", true}, {"Bluetooth", true}, {"USB", true}});
    dialog->OnCheckDevice();
    EXPECT_EQ(Entries(combo), (QStringList{"Default output", "Speakers", "Bluetooth", "USB"}));
    EXPECT_EQ(combo->GetLBText(combo->GetCurSel()), "USB");

    // The chosen one goes: the default output takes over, and the list says so.
    m_waveOut.SetDevices({{"Default output", true}, {"Speakers", true}});
    dialog->OnCheckDevice();
    EXPECT_EQ(Entries(combo), (QStringList{"Default output", "Speakers"}));
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(m_waveOut.OpenDevice(), 0u);
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

} // namespace
