#pragma once

#include <cmath>
#include <cstdint>

// Temporary stand-in until the synthesizer's rounding routines are merged.

// Rounds half away from zero: 2.5 -> 3, -2.5 -> -3.
inline int32_t RoundHalfAway(double x)
{
    double i;
    const double r = std::modf(x, &i);
    if (r >= 0.5)
        return static_cast<int32_t>(i) + 1;
    if (r <= -0.5)
        return static_cast<int32_t>(i) - 1;
    return static_cast<int32_t>(i);
}

// Rounds half up for x >= 0 and truncates negative x: 2.5 -> 3, -2.5 -> -2.
inline int32_t RoundHalfUp(double x)
{
    double i;
    const double r = std::modf(x, &i);
    if (r >= 0.5)
        return static_cast<int32_t>(i) + 1;
    return static_cast<int32_t>(i);
}
