#include "app/dialog_services.h"

#include "app/help_command.h"
#include "app/message_box.h"
#include "app/save_file_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

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

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon)
    {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
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
    : m_messageBox(messageBox != nullptr ? CDialogServices::SetMessageBox(messageBox) : nullptr)
    , m_saveFileDialog(saveFileDialog != nullptr ? CDialogServices::SetSaveFileDialog(saveFileDialog) : nullptr)
    , m_helpCommand(helpCommand != nullptr ? CDialogServices::SetHelpCommand(helpCommand) : nullptr)
{
}

CScopedDialogServices::~CScopedDialogServices()
{
    if (m_messageBox != nullptr)
        CDialogServices::SetMessageBox(m_messageBox);
    if (m_saveFileDialog != nullptr)
        CDialogServices::SetSaveFileDialog(m_saveFileDialog);
    if (m_helpCommand != nullptr)
        CDialogServices::SetHelpCommand(m_helpCommand);
}

void CQtMessageBox::Show(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon)
{
    QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok, owner);
    box.exec();
}

CMessageBoxReporter::CMessageBoxReporter(QWidget* owner)
    : m_owner(owner)
{
}

void CMessageBoxReporter::Report(const std::string& caption, const std::string& text, MessageIcon icon)
{
    CDialogServices::MessageBox().Show(m_owner, QString::fromStdString(text), QString::fromStdString(caption), icon);
}

std::optional<QString> CQtSaveFileDialog::ChooseSaveFile(QWidget* owner, const SaveFileOptions& options)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The filter's name already shows its pattern, as "Name (*.ext)", which
    // is the form the chooser reads its patterns from.
    QString filter = options.filterName;
    if (!filter.contains(options.filterPattern))
        filter += QStringLiteral(" (%1)").arg(options.filterPattern);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(options.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    if (!options.initialFolder.isEmpty())
        dialog.setDirectory(options.initialFolder);
    dialog.selectFile(options.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QString CDesktopHelpCommand::HelpFilePath()
{
    return QCoreApplication::applicationFilePath() + QStringLiteral(".html");
}

void CDesktopHelpCommand::ShowHelp(QWidget* owner)
{
    const QString path = HelpFilePath();
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        CDialogServices::MessageBox().Show(owner, QStringLiteral("I can't open ") + path, QStringLiteral("Warning"),
                                           MessageIcon::Exclamation);
}
