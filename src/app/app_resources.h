// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QIcon>

#include <optional>

// The program's icons and cursors by resource id (resource_ids.h).
class CAppResources
{
public:
    // The program's own drawing, never the desktop theme's: a theme's icon
    // may mean something else or vanish on its palette. Each drawing has a
    // dark outline inside a light one, so it reads on light and dark
    // palettes alike. A null icon for an unknown id.
    static QIcon LoadIcon(int iconId);

    // IDC_HAND is the pointing hand; nullopt for an unknown id.
    static std::optional<QCursor> LoadCursor(int cursorId);
};
