// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/dialog_template.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{

QStringList ToStringList(const QJsonValue& value)
{
    QStringList list;
    for (const QJsonValue& v : value.toArray())
        list.append(v.toString());
    return list;
}

} // namespace

CDialogTemplate CDialogTemplate::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return FromJson(file.readAll());
}

CDialogTemplate CDialogTemplate::FromJson(const QByteArray& json)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return {};
    const QJsonObject root = doc.object();

    CDialogTemplate t;
    t.m_id = root.value(QStringLiteral("id")).toInt();
    t.m_caption = root.value(QStringLiteral("caption")).toString();
    const QJsonArray size = root.value(QStringLiteral("size")).toArray();
    t.m_sizeDlu = QSize(size.at(0).toInt(), size.at(1).toInt());
    t.m_style = ToStringList(root.value(QStringLiteral("style")));
    for (const QJsonValue& v : root.value(QStringLiteral("items")).toArray())
    {
        const QJsonObject o = v.toObject();
        DialogItemTemplate item;
        item.id = o.value(QStringLiteral("id")).toInt(-1);
        item.kind = o.value(QStringLiteral("kind")).toString();
        item.style = ToStringList(o.value(QStringLiteral("style")));
        item.caption = o.value(QStringLiteral("caption")).toString();
        const QJsonArray r = o.value(QStringLiteral("rect")).toArray();
        item.rectDlu = QRect(r.at(0).toInt(), r.at(1).toInt(), r.at(2).toInt(), r.at(3).toInt());
        item.labelFor = o.value(QStringLiteral("for")).toInt(-1);
        item.name = o.value(QStringLiteral("name")).toString();
        t.m_items.append(item);
    }
    return t;
}
