// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/surf_shaper.h"

#include <cmath>

#include "synth/rounding.h"
#include "synth/sample_rate.h"

CSurfShaper::CSurfShaper(const int16_t* source, int16_t* samples) : m_source(source), m_samples(samples) {}

void CSurfShaper::FillHalf(int half)
{
    const int length = HalfLength(m_playedType.load(std::memory_order_relaxed));
    const int start = half != 0 ? length : 0;
    const int end = start + length;
    const double d = std::exp(2.0) - 1.0;

    for (int i = start; i < end; ++i)
    {
        // S and P may change under us; each sample uses the values it reads.
        const double s = m_surfStrength.load(std::memory_order_relaxed);
        const double p = m_surfPeriod.load(std::memory_order_relaxed);
        if (p == 0.0)
        {
            // c / 0 has no meaningful angle: a zero period is silence, and the
            // surf phase waits at its start until a period is set again.
            m_samples[i] = 0;
            m_surfCounter.store(0, std::memory_order_relaxed);
            continue;
        }
        const uint32_t c = m_surfCounter.load(std::memory_order_relaxed);
        const double angle = (static_cast<double>(c) / p) * kTwoPiOverSampleRate;
        const double q = 2.0 - ((std::cos(angle) + 1.0) * s) * 0.01;
        const double v = ((std::exp(q) - 1.0) * m_source[i]) / d;
        // A period too short for its angle (a subnormal one) has no gain:
        // silence, as for a zero period, rather than NaN made an integer.
        m_samples[i] = std::isfinite(v) ? static_cast<int16_t>(RoundHalfAway(v)) : int16_t{0};
        const uint32_t next = static_cast<double>(c) < kSampleRate * p ? c + 1 : 0;
        m_surfCounter.store(next, std::memory_order_relaxed);
    }
}
