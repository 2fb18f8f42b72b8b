#pragma once

#include "settings/settings_table.h"

inline constexpr int kBuiltInNoiseSettingCount = 7;

// Empties both tables, writes the seven built-in noise settings into noise
// slots 0..6 and "Standard CD" into file slot 0, in slot order, and computes
// each table's first user slot (7 and 1). Built-ins are set up anew at every
// start and never stored.
void SetUpBuiltInPresets(CNoiseSettingsTable& noiseSettings, CFileSettingsTable& fileSettings);
