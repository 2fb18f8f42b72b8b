#include "app/help_command.h"

#include "app/dialog_services.h"
#include "app/message_box.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

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
