// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/tone_sequence.h"

#include <algorithm>
#include <cmath>

#include "synth/sample_rate.h"

std::vector<int16_t> RenderToneSequence(const std::vector<double>& frequencies, const ToneSequence& shape)
{
    const size_t tone = static_cast<size_t>(std::lround(shape.toneSeconds * kSampleRate));
    const size_t gap = static_cast<size_t>(std::lround(shape.gapSeconds * kSampleRate));
    const size_t ramp = std::min(static_cast<size_t>(std::lround(shape.rampSeconds * kSampleRate)), tone / 2);
    std::vector<int16_t> samples(frequencies.size() * (tone + gap), 0);
    for (size_t t = 0; t < frequencies.size(); ++t)
    {
        int16_t* out = samples.data() + t * (tone + gap);
        for (size_t i = 0; i < tone; ++i)
        {
            const size_t edge = std::min(i, tone - 1 - i);
            const double gain =
                edge < ramp ? 0.5 - 0.5 * std::cos(M_PI * (static_cast<double>(edge) + 0.5) / ramp) : 1.0;
            const double v =
                shape.amplitude * gain * std::sin(kTwoPiOverSampleRate * frequencies[t] * static_cast<double>(i));
            out[i] = static_cast<int16_t>(std::lround(v));
        }
    }
    return samples;
}
