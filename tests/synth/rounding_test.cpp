#include "synth/rounding.h"

#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

namespace {

struct RoundingRow
{
    const char* name;
    double x;
    int32_t away;
    int32_t up;
};

const RoundingRow kRows[] = {
    {"zero", 0.0, 0, 0},
    {"half", 0.5, 1, 1},
    {"minus half", -0.5, -1, 0},
    {"two and a half", 2.5, 3, 3},
    {"just below half", 2.49, 2, 2},
    {"minus two and a half", -2.5, -3, -2},
    {"minus 2.7", -2.7, -3, -2},
    {"minus 2.3", -2.3, -2, -2},
    {"largest double below 0.5", 0.49999999999999994, 0, 0},
    {"bin of 20 Hz", 20.0 / (22050.0 / 131071.0), 119, 119},
    {"int32 max", 2147483647.0, 2147483647, 2147483647},
    {"beyond int32", 2147483647.5, INT32_MIN, INT32_MIN},
};

TEST(Rounding, HalfAwayAndHalfUpFollowTheirTables)
{
    for (const RoundingRow& row : kRows)
    {
        EXPECT_EQ(RoundHalfAway(row.x), row.away) << row.name;
        EXPECT_EQ(RoundHalfUp(row.x), row.up) << row.name;
    }
}

TEST(Rounding, TruncationGoesTowardZeroAndSwapExchanges)
{
    EXPECT_EQ(TruncToInt(9999.999), 9999);
    EXPECT_EQ(TruncToInt(-9999.999), -9999);
    EXPECT_EQ(TruncToInt(std::nan("")), INT32_MIN);
    double a = 1.5;
    double b = -2.0;
    SwapValues(a, b);
    EXPECT_EQ(a, -2.0);
    EXPECT_EQ(b, 1.5);
}

} // namespace
