// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "synth/simd_choice.h"

// The roundings from double to 32-bit integer that every subsystem shares.
//
// All three give INT32_MIN for NaN and for values outside the int32 range,
// as the processor's truncating conversion does, so no input is undefined.

// Truncation toward zero ("trunc").
inline int32_t TruncToInt(double x)
{
#if SUSURRA_USE_SSE2
    // The instruction itself, so that no constant folding can treat an
    // out-of-range value as undefined.
    int32_t result;
    asm("cvttsd2si %1, %0" : "=r"(result) : "x"(x));
    return result;
#else
    // Inside the bounds the cast is defined; NaN fails both tests.
    if (x > -2147483649.0 && x < 2147483648.0)
        return static_cast<int32_t>(x);
    return INT32_MIN;
#endif
}

// Rounds half away from zero: 2.5 -> 3, -2.5 -> -3, 2.49 -> 2.
int32_t RoundHalfAway(double x);

// Rounds half up for x >= 0 and truncates toward zero for x < 0:
// 2.5 -> 3, -2.5 -> -2, -2.7 -> -2.
int32_t RoundHalfUp(double x);
