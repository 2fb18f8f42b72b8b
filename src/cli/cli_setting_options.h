// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_noise_options.h"
#include "settings/file_setting.h"
#include "settings/settings_store.h"

// --noise-setting NAME and --file-setting NAME for render and play: the named
// setting, built-in or stored, or without a name the setting the window
// selects at start. Explicit noise and file options are laid over it.

extern const char* const kSettingOptionsHelp;

// The noise options of the chosen noise setting, those not given checked as
// the window checks its controls, with every value given on the command line
// laid over them.
// On failure prints why (an unknown name lists the names there are) and
// returns nullopt.
std::optional<NoiseOptions> NoiseOptionsFromSetting(const CSettingsStore& store, std::optional<std::string_view> name,
                                                    const NoiseOptions& given);

// Which file values the command line gives, so that the setting's own need
// not be valid.
struct GivenFileValues
{
    bool fadeIn = false;
    bool fadeOut = false;
    bool length = false;
};

// The chosen file setting, the fades and total playing time not given
// checked as the window checks them (the time at most maxSeconds). On failure
// prints why and returns nullopt.
std::optional<FileSetting> CheckedFileSetting(const CSettingsStore& store, std::optional<std::string_view> name,
                                              int maxSeconds, const GivenFileValues& given = {});

// Noise options with no value given: type and frequency -1, reals NaN.
// Parse the command line into these.
NoiseOptions UnsetNoiseOptions();

// Prints a warning for each settings file that was found damaged.
void WarnAboutDamagedSettings(const CSettingsStore& store);
