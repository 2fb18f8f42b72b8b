// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/date_time_value.h"
#include "testing/param_name.h"

#include <gtest/gtest.h>

#include <string>

TEST(DateTimeValue, EverySecondOfADayOnDayZeroComesBackUnchanged)
{
    CDateTimeValue value;
    ASSERT_TRUE(value.SetDateTime(1899, 12, 30, 2, 0, 30));
    EXPECT_DOUBLE_EQ(value.m_time, 7230.0 / 86400.0);
    EXPECT_EQ(value.GetHour(), 2);
    EXPECT_EQ(value.GetMinute(), 0);
    EXPECT_EQ(value.GetSecond(), 30);
    for (int s = 0; s < 86400; ++s)
    {
        value.SetDateTime(1899, 12, 30, s / 3600, s / 60 % 60, s % 60);
        ASSERT_EQ(value.TotalSeconds(), s);
    }
}

namespace
{

struct InvalidFields
{
    const char* name;
    int fields[6]; // year, month, day, hour, minute, second
};

class DateTimeValueInvalid : public testing::TestWithParam<InvalidFields>
{};

} // namespace

TEST_P(DateTimeValueInvalid, IsRefusedAndReadsAsMinusOne)
{
    const int* c = GetParam().fields;
    CDateTimeValue value;
    value.SetDateTime(1899, 12, 30, 5, 6, 7);
    EXPECT_FALSE(value.SetDateTime(c[0], c[1], c[2], c[3], c[4], c[5]));
    EXPECT_EQ(value.m_status, CDateTimeValue::Status::Invalid);
    EXPECT_EQ(value.GetHour(), -1);
    EXPECT_EQ(value.GetSecond(), -1);
}

INSTANTIATE_TEST_SUITE_P(DateTimeValue, DateTimeValueInvalid,
                         testing::Values(InvalidFields{"NegativeHour", {1899, 12, 30, -1, 0, 0}},
                                         InvalidFields{"Hour24", {1899, 12, 30, 24, 0, 0}},
                                         InvalidFields{"Minute60", {1899, 12, 30, 0, 60, 0}},
                                         InvalidFields{"NegativeSecond", {1899, 12, 30, 0, 0, -1}},
                                         InvalidFields{"Month13", {1899, 13, 30, 0, 0, 0}},
                                         InvalidFields{"Day32", {1899, 12, 32, 0, 0, 0}},
                                         InvalidFields{"Year10000", {10000, 1, 1, 0, 0, 0}},
                                         InvalidFields{"NegativeYear", {-1, 1, 1, 0, 0, 0}}),
                         RowName());
