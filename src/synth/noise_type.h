// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

// The signal kinds. The values are stored in settings files and are the
// index of the noise-type radio buttons, so they never change.
enum NoiseType : int
{
    Physiological = 0,
    White = 1,
    Pink = 2,
    TinnitusFinder = 3,
};

inline constexpr int kNoiseTypeCount = 4;

// Short names used on the command line and in listings.
inline constexpr std::string_view kNoiseTypeNames[kNoiseTypeCount] = {"physiological", "white", "pink", "tinnitus"};

// How each type's spectrum falls with frequency, in dB per octave, as
// measured on the synthesised periods. The tone has none: it is one line.
inline constexpr double kNoiseSlopesDbPerOctave[] = {-1.33, 0.0, -3.01, 0.0};
static_assert(sizeof(kNoiseSlopesDbPerOctave) / sizeof(double) == kNoiseTypeCount, "one slope for every type");

inline constexpr double NoiseSlopeDbPerOctave(int type)
{
    return type >= 0 && type < kNoiseTypeCount ? kNoiseSlopesDbPerOctave[type] : 0.0;
}

inline constexpr std::string_view NoiseTypeName(int type)
{
    return type >= 0 && type < kNoiseTypeCount ? kNoiseTypeNames[type] : std::string_view("unknown");
}

// The tone is one second of sine; the three noises are one noise period.
inline constexpr bool IsTone(int type)
{
    return type == TinnitusFinder;
}

// Samples in one period of the signal of this type: 44100 for the tone,
// 262144 (2^18) for the noises.
inline constexpr int PeriodSamples(int type)
{
    return IsTone(type) ? 44100 : 262144;
}

inline constexpr std::optional<NoiseType> NoiseTypeFromName(std::string_view name)
{
    for (int i = 0; i < kNoiseTypeCount; ++i)
        if (kNoiseTypeNames[i] == name)
            return static_cast<NoiseType>(i);
    return std::nullopt;
}
