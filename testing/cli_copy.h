// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

#include "settings/noise_extras.h"
#include "settings/settings_store.h"
#include "testing/temp_folder.h"

// Copies susurra-cli into dir, whose settings file beside it then holds
// `setting` named `name` with `extras`, in the first user slot. Returns the
// settings file's save message: empty when it was written.
inline std::string CopyCliWithNoiseSetting(const CTempFolder& dir, const char* cli, NoiseSetting setting,
                                           const char* name, const NoiseExtras& extras)
{
    std::filesystem::copy_file(cli, dir / "susurra-cli");
    CSettingsStore store(dir.Path());
    store.SetUp();
    StoreName(setting.name, name);
    WriteNoiseExtras(setting, extras);
    store.m_noiseSettings.m_slots[7] = setting;
    return store.SaveSettingsFile(SettingsKind::Noise, -1);
}
