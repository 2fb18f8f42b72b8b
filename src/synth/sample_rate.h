// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every signal, device stream and file runs at one rate.
inline constexpr int kSampleRate = 44100;

// Radians per sample of a 1 Hz sine: the tone's step per hertz and the surf's
// step per second of period. Written as the quotient; the assertion pins the
// double that every existing output was computed with.
inline constexpr double kTwoPiOverSampleRate = 2.0 * 3.14159265358979323846 / kSampleRate;
static_assert(kTwoPiOverSampleRate == 0.00014247585730565955);
