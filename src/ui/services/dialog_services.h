// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class IHelpCommand;
class IMessageBox;
class ISaveFileDialog;

// The platform services every window goes through: message boxes, the Save
// As chooser and the help command. The real ones are in place from the
// start; tests put scripted ones in their place (see CScopedDialogServices).
// User-interface thread only.
class CDialogServices
{
public:
    static IMessageBox& MessageBox();
    static ISaveFileDialog& SaveFileDialog();
    static IHelpCommand& HelpCommand();

    // Each returns the service it replaces; nullptr restores the real one.
    static IMessageBox* SetMessageBox(IMessageBox* service);
    static ISaveFileDialog* SetSaveFileDialog(ISaveFileDialog* service);
    static IHelpCommand* SetHelpCommand(IHelpCommand* service);

    // The title of the framework's own message boxes (validation messages):
    // the application's name, by default the program file's name.
    static QString ApplicationName();
};

// Puts scripted services in place for its lifetime (null leaves one as is).
class CScopedDialogServices
{
public:
    CScopedDialogServices(IMessageBox* messageBox, ISaveFileDialog* saveFileDialog = nullptr,
                          IHelpCommand* helpCommand = nullptr);
    ~CScopedDialogServices();
    CScopedDialogServices(const CScopedDialogServices&) = delete;
    CScopedDialogServices& operator=(const CScopedDialogServices&) = delete;

private:
    IMessageBox* m_messageBox;
    ISaveFileDialog* m_saveFileDialog;
    IHelpCommand* m_helpCommand;
};
