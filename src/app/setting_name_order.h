// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The order of the setting lists: ascending by name, without regard to case
// (the settings' own CompareNamesNoCase on the names' UTF-8 bytes: ASCII
// letters fold, other characters compare by code point). Negative, zero or
// positive like strcmp.
int CompareSettingNamesNoCase(const QString& a, const QString& b);
