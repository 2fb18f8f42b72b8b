// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_resources.h"

#include "app/resource_ids.h"

#include <QString>

namespace
{

struct IconEntry
{
    int id;
    const char* themeName; // nullptr: the program's own icon only
    const char* file;
};

constexpr IconEntry kIcons[] = {
    {IDI_APP, nullptr, "susurra.svg"},
    {IDI_PLAY, "media-playback-start", "play.svg"},
    {IDI_STOP, "media-playback-stop", "stop.svg"},
    {IDI_TO_FILE, "document-save", "to_file.svg"},
    {IDI_TOOLS, "preferences-system", "tools.svg"},
    {IDI_EXIT, "application-exit", "exit.svg"},
    {IDI_BROWSE, "document-open", "browse.svg"},
    {IDI_HELP, "help-browser", "help.svg"},
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

QIcon CAppResources::LoadOwnIcon(int iconId)
{
    const IconEntry* entry = FindIcon(iconId);
    if (entry == nullptr)
        return {};
    return QIcon(QStringLiteral(":/susurra/icons/") + QLatin1String(entry->file));
}

QIcon CAppResources::LoadIcon(int iconId)
{
    const IconEntry* entry = FindIcon(iconId);
    if (entry == nullptr)
        return {};
    const QIcon own = LoadOwnIcon(iconId);
    if (entry->themeName == nullptr)
        return own;
    return QIcon::fromTheme(QLatin1String(entry->themeName), own);
}

std::optional<QCursor> CAppResources::LoadCursor(int cursorId)
{
    if (cursorId == IDC_HAND)
        return QCursor(Qt::PointingHandCursor);
    return std::nullopt;
}
