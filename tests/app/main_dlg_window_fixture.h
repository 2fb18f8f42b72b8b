// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/main_dlg.h"
#include "app/resource_ids.h"
#include "testing/fake_wave_out.h"
#include "testing/param_name.h"
#include "testing/ui/qt_test_app.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/scripted_save_file_dialog.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/services/dialog_services.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

// The main window on the scripted backend (one of its three devices does not
// take the format), with a settings folder, message box and file chooser of
// the test's own.
class MainWindowTest : public QtTest
{
public:
    MainWindowTest() { m_waveOut.SetDevices({{"Speakers", true}, {"Old card", false}, {"Headphones", true}}); }

    // Opens the window afresh, after closing one still open; soundLater as
    // the program opens it, with the devices listed once it is shown.
    CMainDlg& Start(bool soundLater = false)
    {
        m_dialog.reset();
        m_dialog = std::make_unique<CMainDlg>(m_waveOut, Folder());
        if (soundLater)
            m_dialog->StartSoundLater();
        m_dialog->ShowWindow(true);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_dialog.get()));
        Settle();
        return *m_dialog;
    }
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    std::string Folder() const { return m_folder.path().toStdString() + "/"; }
    QString PathIn(const QString& name) const { return m_folder.filePath(name); }
    QStringList Files() const { return QDir(m_folder.path()).entryList(QDir::Files); }
    std::string Bytes(const QString& name) const
    {
        QFile file(PathIn(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll().toStdString();
    }

    static QLineEdit* Edit(CMainDlg& d, int id) { return d.GetDlgItemAs<QLineEdit>(id); }
    static QString Text(CMainDlg& d, int id) { return d.GetDlgItemText(id); }
    static QAbstractButton* Button(CMainDlg& d, int id) { return d.GetDlgItemAs<QAbstractButton>(id); }

    // Fills fields in order as the user would: edits, editable lists and the
    // playing time ("h:mm:ss").
    static void Type(CMainDlg& d, std::initializer_list<std::pair<int, QString>> fields)
    {
        for (const auto& [id, text] : fields)
        {
            if (auto* time = d.GetDlgItemAs<QTimeEdit>(id))
                time->setTime(QTime::fromString(text, "h:mm:ss"));
            else if (auto* combo = d.GetDlgItemAs<CComboCtrl>(id))
                combo->setEditText(text);
            else
                Edit(d, id)->setText(text);
        }
    }
    // A short file: 2 s, faded in over 1 s and not faded out.
    static void ShortFile(CMainDlg& d)
    {
        Type(d, {{IDC_FADE_IN, "1"}, {IDC_FADE_OUT, "0"}, {IDC_PLAY_TIME, "0:00:02"}});
    }

    // The user picks entry `entry` of a list.
    static void Choose(CComboCtrl* combo, int entry)
    {
        combo->setCurrentIndex(entry);
        emit combo->activated(entry);
    }
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
    std::unique_ptr<CMainDlg> m_dialog; // last: it goes before what it uses
};
