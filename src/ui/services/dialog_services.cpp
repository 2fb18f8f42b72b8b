// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/services/dialog_services.h"

#include "ui/services/help_command.h"
#include "ui/services/message_box.h"
#include "ui/services/save_file_dialog.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{

CQtMessageBox g_realMessageBox;
CQtSaveFileDialog g_realSaveFileDialog;
CDesktopHelpCommand g_realHelpCommand;

IMessageBox* g_messageBox = &g_realMessageBox;
ISaveFileDialog* g_saveFileDialog = &g_realSaveFileDialog;
IHelpCommand* g_helpCommand = &g_realHelpCommand;

template <typename T>
T* Replace(T*& slot, T* service, T* real)
{
    T* previous = slot;
    slot = service != nullptr ? service : real;
    return previous;
}

} // namespace

IMessageBox& CDialogServices::MessageBox()
{
    return *g_messageBox;
}

ISaveFileDialog& CDialogServices::SaveFileDialog()
{
    return *g_saveFileDialog;
}

IHelpCommand& CDialogServices::HelpCommand()
{
    return *g_helpCommand;
}

IMessageBox* CDialogServices::SetMessageBox(IMessageBox* service)
{
    return Replace<IMessageBox>(g_messageBox, service, &g_realMessageBox);
}

ISaveFileDialog* CDialogServices::SetSaveFileDialog(ISaveFileDialog* service)
{
    return Replace<ISaveFileDialog>(g_saveFileDialog, service, &g_realSaveFileDialog);
}

IHelpCommand* CDialogServices::SetHelpCommand(IHelpCommand* service)
{
    return Replace<IHelpCommand>(g_helpCommand, service, &g_realHelpCommand);
}

QString CDialogServices::ApplicationName()
{
    const QString name = QCoreApplication::applicationName();
    if (!name.isEmpty())
        return name;
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

CScopedDialogServices::CScopedDialogServices(IMessageBox* messageBox, ISaveFileDialog* saveFileDialog,
                                             IHelpCommand* helpCommand)
    : m_messageBox(messageBox != nullptr ? CDialogServices::SetMessageBox(messageBox) : nullptr),
      m_saveFileDialog(saveFileDialog != nullptr ? CDialogServices::SetSaveFileDialog(saveFileDialog) : nullptr),
      m_helpCommand(helpCommand != nullptr ? CDialogServices::SetHelpCommand(helpCommand) : nullptr)
{}

CScopedDialogServices::~CScopedDialogServices()
{
    if (m_messageBox != nullptr)
        CDialogServices::SetMessageBox(m_messageBox);
    if (m_saveFileDialog != nullptr)
        CDialogServices::SetSaveFileDialog(m_saveFileDialog);
    if (m_helpCommand != nullptr)
        CDialogServices::SetHelpCommand(m_helpCommand);
}
