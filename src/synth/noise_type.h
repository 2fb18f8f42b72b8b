// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

// The signal kinds. The values are the index of the noise-type radio buttons
// and, 0..3, the type field of settings records, so they never change. Brown
// came later: a record stores it as Pink with a flag beside it (see
// settings/noise_extras.h), so a reader that knows only 0..3 plays pink.
enum NoiseType : int
{
    Physiological = 0,
    White = 1,
    Pink = 2,
    TinnitusFinder = 3,
    Brown = 4,
};

inline constexpr int kNoiseTypeCount = 5;

// Short names used on the command line and in listings.
inline constexpr std::string_view kNoiseTypeNames[kNoiseTypeCount] = {"physiological", "white", "pink", "tinnitus",
                                                                      "brown"};

// How each type's spectrum falls with frequency, in dB per octave, as
// measured on the synthesised periods. The tone has none: it is one line.
inline constexpr double kNoiseSlopesDbPerOctave[] = {-1.33, 0.0, -3.01, 0.0, -6.02};
static_assert(sizeof(kNoiseSlopesDbPerOctave) / sizeof(double) == kNoiseTypeCount, "one slope for every type");

inline constexpr double NoiseSlopeDbPerOctave(int type)
{
    return type >= 0 && type < kNoiseTypeCount ? kNoiseSlopesDbPerOctave[type] : 0.0;
}

inline constexpr std::string_view NoiseTypeName(int type)
{
    return type >= 0 && type < kNoiseTypeCount ? kNoiseTypeNames[type] : std::string_view("unknown");
}

// The tone is one second of sine; the noises are one noise period.
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
