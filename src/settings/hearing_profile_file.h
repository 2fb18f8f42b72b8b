// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "base/io_result.h"
#include "synth/hearing_profile.h"

// The hearing profile of the user, "hearing.ini" in the settings folder
// (beside preferences.ini). A small text file, one line per ear and
// frequency:
//   # comment lines and empty lines are skipped
//   date=2026-12-08
//   device=the output device's name
//   left 1000=-45
//   right 8000=not heard
// Levels are whole dB relative to full scale, -90..-10; frequencies those of
// the hearing check. Any other line, a repeated entry, a missing date or no
// threshold at all makes the file damaged.
inline constexpr std::string_view kHearingProfileFileName = "hearing.ini";

// Larger files are damaged: a profile is a few hundred bytes.
inline constexpr size_t kMaxHearingProfileBytes = 65536;

struct HearingProfileLoad
{
    enum class State
    {
        Missing,    // no file: no profile, shaping off
        Loaded,     // profile holds it
        Damaged,    // read but not understood; problem says where
        Unreadable, // there but not read; io says why
    };
    State state = State::Missing;
    HearingProfile profile;
    std::string problem; // Damaged: "line 4: ..."
    CIoResult io;        // Unreadable
};

// The profile as the file holds it. Control characters in the device name
// are written as spaces, so that the name stays on its line.
std::string FormatHearingProfile(const HearingProfile& profile);
// Damaged with the problem, or Loaded.
HearingProfileLoad ParseHearingProfile(std::string_view text);

// Reads folder + "hearing.ini", at most kMaxHearingProfileBytes + 1 bytes of
// it. A file that is not there is Missing; a damaged file is left as it is.
HearingProfileLoad LoadHearingProfile(const std::string& folder);
// Writes it with ReplaceFile (the old profile stays whole on failure),
// creating the folder when it is missing.
CIoResult SaveHearingProfile(const std::string& folder, const HearingProfile& profile);
// Removes the file; a file that is not there is fine.
CIoResult ClearHearingProfile(const std::string& folder);
