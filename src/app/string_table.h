// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's string table (res/strings.json, built into the program).
class CStringTable
{
public:
    // The text of entry id; an empty text when there is no such entry.
    static QString Load(int id);
};
