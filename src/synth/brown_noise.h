// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>

// Brown noise: every bin of the band sounds, with a magnitude that falls as
// 1/f, so its power falls 6 dB per octave. Bin k lies at k * 44100 / N Hz;
// bin 0 (a band reaching down to 0 Hz) takes the magnitude of bin 1 rather
// than an infinite one.
inline double BrownMagnitude(int bin)
{
    return 1.0 / std::max(bin, 1);
}

// The peak a brown period between lower and upper Hz is scaled to, at most
// 10000, so that its loudness (RMS) is that of a pink period of the same
// band, which is scaled to a peak of 10000. Brown's power sits low in the
// band, so its waveform swings more slowly and peaks less far above its RMS;
// the expected peak-to-RMS ratio of each spectrum follows from its RMS
// frequency (Rice's rate of crossings over one period). 10000 for an empty
// band.
double BrownPeak(double lower, double upper);
