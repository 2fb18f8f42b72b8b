// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/rounding.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "testing/param_name.h"

namespace
{

struct RoundingRow
{
    const char* name;
    double x;
    int32_t away;
    int32_t up;
};

using Rounding = ::testing::TestWithParam<RoundingRow>;

} // namespace

TEST_P(Rounding, HalfAwayAndHalfUpGiveTheTabledIntegers)
{
    const RoundingRow& row = GetParam();
    EXPECT_EQ(RoundHalfAway(row.x), row.away);
    EXPECT_EQ(RoundHalfUp(row.x), row.up);
}

INSTANTIATE_TEST_SUITE_P(Table, Rounding,
                         ::testing::Values(RoundingRow{"half", 0.5, 1, 1}, RoundingRow{"minus half", -0.5, -1, 0},
                                           RoundingRow{"two and a half", 2.5, 3, 3},
                                           RoundingRow{"minus two and a half", -2.5, -3, -2},
                                           RoundingRow{"minus 2.7", -2.7, -3, -2},
                                           RoundingRow{"minus 2.3", -2.3, -2, -2},
                                           RoundingRow{"largest double below 0.5", 0.49999999999999994, 0, 0},
                                           RoundingRow{"int32 max", 2147483647.0, 2147483647, 2147483647},
                                           RoundingRow{"beyond int32", 2147483647.5, INT32_MIN, INT32_MIN}),
                         RowName());

struct TruncationRow
{
    const char* name;
    double x;
    int32_t expected;
};

using Truncation = ::testing::TestWithParam<TruncationRow>;

TEST_P(Truncation, GivesInt32MinForNaNAndOutOfRange)
{
    EXPECT_EQ(TruncToInt(GetParam().x), GetParam().expected);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Table, Truncation,
                         ::testing::Values(TruncationRow{"minus 0.9", -0.9, 0},
                                           TruncationRow{"just below int32 max plus one", 2147483647.9, 2147483647},
                                           TruncationRow{"int32 max plus one", 2147483648.0, INT32_MIN},
                                           TruncationRow{"just above int32 min minus one", -2147483648.9, INT32_MIN},
                                           TruncationRow{"int32 min minus one", -2147483649.0, INT32_MIN},
                                           TruncationRow{"infinity", kInf, INT32_MIN},
                                           TruncationRow{"minus infinity", -kInf, INT32_MIN},
                                           TruncationRow{"NaN", std::numeric_limits<double>::quiet_NaN(), INT32_MIN}),
                         RowName());
