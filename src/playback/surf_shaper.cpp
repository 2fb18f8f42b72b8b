// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/surf_shaper.h"

#include <cmath>

#include "synth/rounding.h"
#include "synth/sample_rate.h"

CSurfShaper::CSurfShaper(const int16_t* source, int16_t* samples) : m_source(source), m_samples(samples) {}

namespace
{
// RoundHalfAway for the shaper's values, which lie within +-32768: the
// truncating conversion and the exact fraction it leaves give the same
// result without two calls (a third of the shaper's time went to them).
inline int32_t RoundHalfAwaySmall(double v)
{
    const int32_t whole = TruncToInt(v);
    if (whole == INT32_MIN)
        return RoundHalfAway(v); // out of range: as the shared rounding says
    const double fraction = v - static_cast<double>(whole);
    return whole + (fraction >= 0.5 ? 1 : 0) - (fraction <= -0.5 ? 1 : 0);
}

// One shaped sample at surf counter c; sets `next` to the counter after it.
inline int16_t ShapeSample(int16_t source, double s, double p, uint32_t c, uint32_t& next)
{
    if (p == 0.0)
    {
        // c / 0 has no meaningful angle: a zero period is silence, and the
        // surf phase waits at its start until a period is set again.
        next = 0;
        return 0;
    }
    const double d = std::exp(2.0) - 1.0;
    const double angle = (static_cast<double>(c) / p) * kTwoPiOverSampleRate;
    const double q = 2.0 - ((std::cos(angle) + 1.0) * s) * 0.01;
    const double v = ((std::exp(q) - 1.0) * source) / d;
    next = static_cast<double>(c) < kSampleRate * p ? c + 1 : 0;
    // A period too short for its angle (a subnormal one) has no gain:
    // silence, as for a zero period, rather than NaN made an integer.
    return std::isfinite(v) ? static_cast<int16_t>(RoundHalfAwaySmall(v)) : int16_t{0};
}
} // namespace

void CSurfShaper::FillHalf(int half)
{
    const int length = HalfLength(m_playedType.load(std::memory_order_relaxed));
    const int start = half != 0 ? length : 0;
    const int end = start + length;

    for (int i = start; i < end; ++i)
    {
        // S and P may change under us; each sample uses the values it reads.
        const double s = m_surfStrength.load(std::memory_order_relaxed);
        const double p = m_surfPeriod.load(std::memory_order_relaxed);
        uint32_t next = 0;
        m_samples[i] = ShapeSample(m_source[i], s, p, m_surfCounter.load(std::memory_order_relaxed), next);
        m_surfCounter.store(next, std::memory_order_relaxed);
    }
}

uint32_t CSurfShaper::Shape(const int16_t* source, int16_t* out, int count, uint32_t counter) const
{
    for (int i = 0; i < count; ++i)
    {
        const double s = m_surfStrength.load(std::memory_order_relaxed);
        const double p = m_surfPeriod.load(std::memory_order_relaxed);
        out[i] = ShapeSample(source[i], s, p, counter, counter);
    }
    return counter;
}
