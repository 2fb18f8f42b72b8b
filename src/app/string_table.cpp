// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/string_table.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{

QHash<int, QString> ReadTable()
{
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/susurra/strings.json"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QJsonObject entries = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = entries.begin(); it != entries.end(); ++it)
    {
        bool ok = false;
        const int id = it.key().toInt(&ok);
        if (ok)
            table.insert(id, it.value().toString());
    }
    return table;
}

} // namespace

QString CStringTable::Load(int id)
{
    // Read once; the table is built into the program and never changes.
    static const QHash<int, QString> table = ReadTable();
    const QString text = table.value(id);
    return text.isEmpty() ? text : QCoreApplication::translate("CStringTable", text.toUtf8().constData());
}
