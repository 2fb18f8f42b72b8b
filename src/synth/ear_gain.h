// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>

#include "base/stereo_sound.h"

// The factor an ear's samples are multiplied by: 1 at 0 dB, 0 for silence.
inline double EarGain(int levelDb)
{
    return levelDb <= StereoSound::kSilent ? 0.0 : std::pow(10.0, levelDb / 20.0);
}

// The tone's gain in one ear (0 left, 1 right): its level where the tone is
// heard, silence in the other ear.
inline double ToneEarGain(const StereoSound& stereo, int ear)
{
    const bool heard = stereo.toneEar == ToneEar::Both || (stereo.toneEar == ToneEar::Left) == (ear == 0);
    return heard ? EarGain(stereo.earLevelDb[ear]) : 0.0;
}

// The right ear's synthesizer starts its phase generator here instead of at
// 1: 3,408,982,936 draws along the generator's 2^32-long sequence, some
// 26,000 periods from the left ear's start and 6,700 before the left's start
// comes round again, so the ears never share phases.
inline constexpr std::uint32_t kRightEarPhaseState = 0x9E3779B9u;

// The right ear's endless noise is drawn from this seed, the left's from
// the seed itself: a bijective mix, so two seeds never share a right ear.
inline constexpr std::uint64_t RightEarSeed(std::uint64_t seed)
{
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
