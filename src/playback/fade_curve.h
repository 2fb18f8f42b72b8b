// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The gain curves of playback, as pure functions of a sample's position.
// The window and susurra-cli share them, so a fade sounds the same in both.
namespace FadeCurve
{

// A fade-out falls evenly in decibels from unity down to this level and is
// then cut to exact silence: from 60 dB down nothing is heard at night, and
// the even fall keeps every 50 ms step of an 8 s fade well under 1 dB.
inline constexpr double kFloorDb = -72.0;

// Gain at `position` samples into a fade-out `length` samples long: 1 before
// it begins (position <= 0), exactly 0 from its end on (position >= length).
double FallGain(int64_t position, int64_t length);

// Gain at `position` samples into a rise `length` samples long: the fall
// backwards, so it climbs monotonically from exact silence at 0 to unity at
// `length` and stays there.
double RiseGain(int64_t position, int64_t length);

// Equal-power crossfade at fraction t of its length (0..1): the weights of
// the old and the new sound, cos and sin of a quarter turn, whose squares
// add up to one, so the loudness stays level through the glide.
double GlideOldWeight(double t);
double GlideNewWeight(double t);

// The old and the new sample mixed at fraction t of a glide, rounded half
// away from zero and kept within 16 bits. t <= 0 gives the old sample and
// t >= 1 the new one, exactly.
int16_t GlideMix(int16_t oldSample, int16_t newSample, double t);

// A short linear ramp down that ends playback without a click.
double StopRampGain(int64_t position, int64_t length);

// Multiplies a sample by a gain, rounding half away from zero. A gain of
// exactly 1 returns the sample unchanged.
int16_t Scale(int16_t sample, double gain);

} // namespace FadeCurve
