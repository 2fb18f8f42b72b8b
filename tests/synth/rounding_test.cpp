// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/rounding.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

TEST(Rounding, HalfAwayAndHalfUpFollowTheirTables)
{
    const struct
    {
        const char* name;
        double x;
        int32_t away;
        int32_t up;
    } rows[] = {
        {"half", 0.5, 1, 1},
        {"minus half", -0.5, -1, 0},
        {"two and a half", 2.5, 3, 3},
        {"minus two and a half", -2.5, -3, -2},
        {"minus 2.7", -2.7, -3, -2},
        {"minus 2.3", -2.3, -2, -2},
        {"largest double below 0.5", 0.49999999999999994, 0, 0},
        {"int32 max", 2147483647.0, 2147483647, 2147483647},
        {"beyond int32", 2147483647.5, INT32_MIN, INT32_MIN},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RoundHalfAway(row.x), row.away) << row.name;
        EXPECT_EQ(RoundHalfUp(row.x), row.up) << row.name;
    }
}

TEST(Rounding, TruncationGivesInt32MinForNaNAndOutOfRange)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const struct
    {
        const char* name;
        double x;
        int32_t expected;
    } rows[] = {
        {"minus 0.9", -0.9, 0},
        {"just below int32 max plus one", 2147483647.9, 2147483647},
        {"int32 max plus one", 2147483648.0, INT32_MIN},
        {"just above int32 min minus one", -2147483648.9, INT32_MIN},
        {"int32 min minus one", -2147483649.0, INT32_MIN},
        {"infinity", kInf, INT32_MIN},
        {"minus infinity", -kInf, INT32_MIN},
        {"NaN", std::numeric_limits<double>::quiet_NaN(), INT32_MIN},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TruncToInt(row.x), row.expected) << row.name;
}
