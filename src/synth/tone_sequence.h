// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// Pure tones one after the other as one buffer of 44100 Hz mono samples:
// each tone `toneSeconds` long with raised-cosine ramps of `rampSeconds` at
// both ends (no clicks), `gapSeconds` of silence between tones and after the
// last, so that a device's buffering never cuts the last tone short.
struct ToneSequence
{
    double toneSeconds = 1.0;
    double gapSeconds = 0.5;
    double rampSeconds = 0.02;
    double amplitude = 3000.0; // as the Tinnitus Finder tone
};

std::vector<int16_t> RenderToneSequence(const std::vector<double>& frequencies, const ToneSequence& shape = {});
