// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace
{

QTranslator& Own()
{
    static QTranslator translator;
    return translator;
}

QTranslator& QtBase()
{
    static QTranslator translator;
    return translator;
}

} // namespace

QString CAppTranslation::Install(const QLocale& locale)
{
    Remove();
    if (!Own().load(locale, QStringLiteral("susurra"), QStringLiteral("_"), QStringLiteral(":/susurra/translations")))
        return QStringLiteral("en");
    QCoreApplication::installTranslator(&Own());
    // Qt's own texts (the standard buttons) follow the same language.
    if (QtBase().load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&QtBase());
    return Own().language();
}

void CAppTranslation::Remove()
{
    QCoreApplication::removeTranslator(&Own());
    QCoreApplication::removeTranslator(&QtBase());
}
