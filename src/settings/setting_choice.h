#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/file_setting.h"
#include "settings/noise_setting.h"
#include "settings/settings_store.h"

// A setting picked by name for a command that works without the window.
template <class Record>
struct SettingChoice
{
    bool found = false;
    Record setting{};  // the chosen setting's values when found
    std::string name;  // its name when found
    std::string error; // why nothing was found, naming the settings there are
};

// The noise setting to use: the one named name (built-in or stored; the lowest
// slot of that exact name), or, without a name, the saved selection as the
// window restores it at start (RestoredSelection in the sorted list).
SettingChoice<NoiseSetting> ChooseNoiseSetting(const CSettingsStore& store, std::optional<std::string_view> name);

// The same for file settings.
SettingChoice<FileSetting> ChooseFileSetting(const CSettingsStore& store, std::optional<std::string_view> name);
