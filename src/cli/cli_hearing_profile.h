// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>

#include "settings/hearing_profile_file.h"
#include "synth/hearing_tilt.h"

// The folder of the user's hearing profile: the settings folder.
std::string HearingProfileFolder();

// Reads the user's profile for a command. Missing and Loaded come back as
// they are; a damaged or unreadable file is told on standard error (the
// file is left as it is) and gives nullopt.
std::optional<HearingProfileLoad> LoadProfileForCommand();

// The tilt for --hearing-shaped, for the mono noise (both ears): off when
// shaped is false; without a profile, off after a note on standard error;
// nullopt when the profile could not be read (told on standard error).
std::optional<SpectrumTilt> ShapeTilt(bool shaped);
// The same for stereo: the left ear's tilt and the right ear's, each from
// that ear's thresholds where they were measured.
std::optional<std::array<SpectrumTilt, 2>> ShapeEarTilts(bool shaped);
