// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/fade_curve.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth/rounding.h"

namespace FadeCurve
{

double FallGain(int64_t position, int64_t length)
{
    if (position <= 0)
        return 1.0;
    if (position >= length)
        return 0.0;
    const double fraction = static_cast<double>(position) / static_cast<double>(length);
    return std::pow(10.0, kFloorDb * fraction / 20.0);
}

double RiseGain(int64_t position, int64_t length)
{
    if (position >= length)
        return 1.0;
    if (position <= 0)
        return 0.0;
    return FallGain(length - position, length);
}

double GlideOldWeight(double t)
{
    if (t <= 0.0)
        return 1.0;
    if (t >= 1.0)
        return 0.0;
    return std::cos(t * std::numbers::pi / 2.0);
}

double GlideNewWeight(double t)
{
    if (t <= 0.0)
        return 0.0;
    if (t >= 1.0)
        return 1.0;
    return std::sin(t * std::numbers::pi / 2.0);
}

int16_t GlideMix(int16_t oldSample, int16_t newSample, double t)
{
    if (t <= 0.0)
        return oldSample;
    if (t >= 1.0)
        return newSample;
    const double v = oldSample * GlideOldWeight(t) + newSample * GlideNewWeight(t);
    return static_cast<int16_t>(std::clamp(RoundHalfAway(v), -32768, 32767));
}

double StopRampGain(int64_t position, int64_t length)
{
    if (position <= 0)
        return 1.0;
    if (position >= length)
        return 0.0;
    return 1.0 - static_cast<double>(position) / static_cast<double>(length);
}

int16_t Scale(int16_t sample, double gain)
{
    if (gain == 1.0)
        return sample;
    return static_cast<int16_t>(RoundHalfAway(static_cast<double>(sample) * gain));
}

} // namespace FadeCurve
