#include "synth/rounding.h"

#include <cmath>

// Both split with modf so that integer part and fraction carry the sign of x;
// the +-1 is added in double so that the edge of the int32 range cannot
// overflow an int.

int32_t RoundHalfAway(double x)
{
    double whole = 0.0;
    const double fraction = std::modf(x, &whole);
    if (fraction >= 0.5)
        return TruncToInt(whole + 1.0);
    if (fraction <= -0.5)
        return TruncToInt(whole - 1.0);
    return TruncToInt(whole);
}

int32_t RoundHalfUp(double x)
{
    double whole = 0.0;
    const double fraction = std::modf(x, &whole);
    if (fraction >= 0.5)
        return TruncToInt(whole + 1.0);
    return TruncToInt(whole);
}
