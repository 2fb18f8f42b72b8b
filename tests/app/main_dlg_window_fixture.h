// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/main_dlg.h"
#include "app/resource_ids.h"
#include "testing/fake_wave_out.h"
#include "testing/ui/qt_test_app.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/scripted_save_file_dialog.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/services/dialog_services.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The main window on the scripted backend, with a settings folder, message
// box and file chooser of the test's own.
class MainWindowTest : public QtTest
{
public:
    MainWindowTest() { m_waveOut.SetDevices({{"Speakers", true}, {"Headphones", true}}); }

    std::unique_ptr<CMainDlg> Start()
    {
        auto dialog = std::make_unique<CMainDlg>(m_waveOut, m_folder.path().toStdString() + "/");
        dialog->ShowWindow(true);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        return dialog;
    }

    QString PathIn(const QString& name) const { return m_folder.filePath(name); }
    static QLineEdit* Edit(CMainDlg& dialog, int id) { return dialog.GetDlgItemAs<QLineEdit>(id); }

    // The user picks entry `entry` of a list.
    static void Choose(CComboCtrl* combo, int entry)
    {
        combo->setCurrentIndex(entry);
        emit combo->activated(entry);
    }

    QTemporaryDir m_folder;
    CFakeWaveOut m_waveOut;
    CRecordingMessageBox m_messages;
    CScriptedSaveFileDialog m_chooser;
    CScopedDialogServices m_services{&m_messages, &m_chooser};
};
