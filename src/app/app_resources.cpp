// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_resources.h"

#include "app/resource_ids.h"

#include <QString>

namespace
{

struct IconEntry
{
    int id;
    const char* file;
};

constexpr IconEntry kIcons[] = {
    {IDI_APP, "susurra.svg"}, {IDI_PLAY, "play.svg"}, {IDI_STOP, "stop.svg"},     {IDI_TO_FILE, "to_file.svg"},
    {IDI_TOOLS, "tools.svg"}, {IDI_EXIT, "exit.svg"}, {IDI_BROWSE, "browse.svg"}, {IDI_HELP, "help.svg"},
};

const IconEntry* FindIcon(int iconId)
{
    for (const IconEntry& entry : kIcons)
    {
        if (entry.id == iconId)
            return &entry;
    }
    return nullptr;
}

} // namespace

QIcon CAppResources::LoadIcon(int iconId)
{
    const IconEntry* entry = FindIcon(iconId);
    if (entry == nullptr)
        return {};
    return QIcon(QStringLiteral(":/susurra/icons/") + QLatin1String(entry->file));
}

std::optional<QCursor> CAppResources::LoadCursor(int cursorId)
{
    if (cursorId == IDC_HAND)
        return QCursor(Qt::PointingHandCursor);
    return std::nullopt;
}
