// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/services/help_command.h"

#include "ui/services/dialog_services.h"
#include "ui/services/message_box.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <QUrl>

QString CDesktopHelpCommand::HelpFilePath()
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    // An installed copy may not put data among the programs in bin/; its help
    // lies in the share/ folder of the same prefix.
    const QString bases[] = {
        QCoreApplication::applicationFilePath(),
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + program
                        + QLatin1Char('/') + program),
    };
    // The page in the user's language ("<base>_de.html"), else the English one.
    QStringList suffixes;
    for (QString language : QLocale().uiLanguages())
    {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        for (const QString& suffix : {language, language.section(QLatin1Char('_'), 0, 0)})
        {
            if (!suffix.startsWith(QLatin1String("en")) && !suffixes.contains(suffix))
                suffixes << suffix;
        }
    }
    for (const QString& suffix : std::as_const(suffixes))
    {
        for (const QString& base : bases)
        {
            const QString page = base + QLatin1Char('_') + suffix + QStringLiteral(".html");
            if (QFileInfo::exists(page))
                return page;
        }
    }
    for (const QString& base : bases)
    {
        if (QFileInfo::exists(base + QStringLiteral(".html")))
            return base + QStringLiteral(".html");
    }
    return bases[0] + QStringLiteral(".html");
}

void CDesktopHelpCommand::ShowHelp(QWidget* owner)
{
    const QString path = HelpFilePath();
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        CDialogServices::MessageBox().Show(
            owner, QCoreApplication::translate("CHelpCommand", "I can't open %1").arg(path),
            QCoreApplication::translate("CHelpCommand", "Warning"), MessageIcon::Exclamation);
}
