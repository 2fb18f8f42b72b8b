// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "settings/builtin_presets.h"

// Both settings tables with the built-in settings in place.
struct Tables
{
    CNoiseSettingsTable noise;
    CFileSettingsTable file;
    Tables() { SetUpBuiltInPresets(noise, file); }
    void Occupy(int slot, const char* name) { StoreName(noise.m_slots[slot].name, name); }
};

// A noise setting named `name`, with an unusual value in every field.
inline NoiseSetting MakeNoise(const std::string& name, double lower = 50.0)
{
    NoiseSetting s{3, {}, 6543, lower, 15000.25, 33.3, 1e-300, {}, {}};
    StoreName(s.name, name);
    return s;
}
