#pragma once

#include <QString>

// The order of the setting lists: ascending by name, without regard to case.
// Negative, zero or positive like strcmp. Kept in one place so that the
// lists and their searches agree.
int CompareSettingNamesNoCase(const QString& a, const QString& b);

// Names that the lists treat as the same entry text.
bool SettingNamesEqualNoCase(const QString& a, const QString& b);
