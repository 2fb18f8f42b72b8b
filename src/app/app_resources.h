// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QIcon>

#include <optional>

// The program's icons and cursors by resource id (resource_ids.h).
class CAppResources
{
public:
    // Command icons come from the desktop's icon theme when it has them, else
    // from the program's own drawings; the application icon is always the
    // program's own. A null icon for an unknown id.
    static QIcon LoadIcon(int iconId);

    // The icon drawn by the program itself, never the theme's.
    static QIcon LoadOwnIcon(int iconId);

    // IDC_HAND is the pointing hand; nullopt for an unknown id.
    static std::optional<QCursor> LoadCursor(int cursorId);
};
