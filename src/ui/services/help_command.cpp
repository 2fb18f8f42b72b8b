// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/services/help_command.h"

#include "ui/services/dialog_services.h"
#include "ui/services/message_box.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

QString CDesktopHelpCommand::HelpFilePath()
{
    const QString beside = QCoreApplication::applicationFilePath() + QStringLiteral(".html");
    if (QFileInfo::exists(beside))
        return beside;
    // An installed copy may not put data among the programs in bin/; its help
    // lies in the share/ folder of the same prefix.
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/")
                                              + program + QLatin1Char('/') + program + QStringLiteral(".html"));
    return QFileInfo::exists(installed) ? installed : beside;
}

void CDesktopHelpCommand::ShowHelp(QWidget* owner)
{
    const QString path = HelpFilePath();
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        CDialogServices::MessageBox().Show(
            owner, QCoreApplication::translate("CHelpCommand", "I can't open %1").arg(path),
            QCoreApplication::translate("CHelpCommand", "Warning"), MessageIcon::Exclamation);
}
