// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// The ranges of every value the user sets. The window's validation and the
// command line's options both read this table, so the two cannot drift.
struct ParameterLimit
{
    std::string_view name; // what the value is, for messages and help
    double min;
    double max;
};

namespace Limits
{

inline constexpr ParameterLimit kFrequency{"frequency (Hz)", 20.0, 20000.0};
inline constexpr ParameterLimit kTinnitusFrequency{"tinnitus frequency (Hz)", 20.0, 20000.0};
inline constexpr ParameterLimit kSurfStrength{"surf strength (%)", 0.0, 100.0};
inline constexpr ParameterLimit kSurfPeriod{"surf period (s)", 0.0, 10000.0};
inline constexpr ParameterLimit kFade{"fade (s)", 0.0, 1000.0};

// The longest sound a WAV file can describe: 13:31:35.
inline constexpr int kMaxWaveSeconds = 48695;
// The same for a number of channels: two channels fill the header's sizes
// twice as fast, so a stereo WAV holds half as long, 6:45:47.
constexpr int MaxWaveSeconds(int channels)
{
    return channels == 2 ? kMaxWaveSeconds / 2 : kMaxWaveSeconds;
}
// The longest time the time control can hold: 23:59:59.
inline constexpr int kMaxClockSeconds = 86399;

} // namespace Limits
