// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which ear a hearing threshold belongs to. Both is the two ears together,
// as on loudspeakers or a mono device.
enum class HearingEar
{
    Left,
    Right,
    Both,
};

// "left", "right", "both": the names of the command line and the profile file.
std::string_view HearingEarName(HearingEar ear);
std::optional<HearingEar> HearingEarFromName(std::string_view name);

// The quietest level one ear heard at one frequency, in dB relative to the
// device's full scale (a sine of peak 32767 is 0 dB). Not calibrated: the
// same figure means different loudness on different devices.
struct HearingThreshold
{
    HearingEar ear = HearingEar::Both;
    int frequencyHz = 1000;
    int levelDb = -40;
    // False: not heard even at the loudest level the check plays; levelDb
    // then holds that level.
    bool heard = true;

    bool operator==(const HearingThreshold&) const = default;
};

// The result of one hearing check, kept per ear so that each ear can be
// given its own shape.
struct HearingProfile
{
    std::string date;   // YYYY-MM-DD
    std::string device; // the output device's name, as listed
    std::vector<HearingThreshold> thresholds;

    bool operator==(const HearingProfile&) const = default;
};
