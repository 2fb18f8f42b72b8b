// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string_view>

// Which ear the tone plays in when the sound is stereo.
enum class ToneEar : int
{
    Both = 0,
    Left = 1,
    Right = 2,
};

// "both", "left", "right": the command line's names.
constexpr std::string_view ToneEarName(ToneEar ear)
{
    return ear == ToneEar::Left ? "left" : ear == ToneEar::Right ? "right" : "both";
}

constexpr std::optional<ToneEar> ToneEarFromName(std::string_view name)
{
    for (ToneEar ear : {ToneEar::Both, ToneEar::Left, ToneEar::Right})
        if (ToneEarName(ear) == name)
            return ear;
    return std::nullopt;
}

// Two channels, each ear with its own noise (same spectrum, independent
// phases) at its own level. Off: one channel, as always.
struct StereoSound
{
    static constexpr int kMaxLevelDb = 0;
    static constexpr int kMinLevelDb = -60;
    // One step below the quietest level: that ear gets nothing.
    static constexpr int kSilent = kMinLevelDb - 1;

    bool on = false;
    // Left, right: kMinLevelDb..0 dB in whole steps, or kSilent.
    std::array<int, 2> earLevelDb{0, 0};
    ToneEar toneEar = ToneEar::Both;

    bool operator==(const StereoSound&) const = default;
};
