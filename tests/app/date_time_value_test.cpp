#include "app/date_time_value.h"

#include <gtest/gtest.h>

TEST(DateTimeValue, every_second_of_a_day_on_day_zero_comes_back_unchanged)
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

TEST(DateTimeValue, fields_outside_a_calendar_are_refused_and_read_as_minus_one)
{
    const int cases[][6] = {
        {1899, 12, 30, -1, 0, 0}, {1899, 12, 30, 24, 0, 0}, {1899, 12, 30, 0, 60, 0}, {1899, 12, 30, 0, 0, -1},
        {1899, 13, 30, 0, 0, 0},  {1899, 12, 32, 0, 0, 0},  {10000, 1, 1, 0, 0, 0},   {-1, 1, 1, 0, 0, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c));
        CDateTimeValue value;
        value.SetDateTime(1899, 12, 30, 5, 6, 7);
        EXPECT_FALSE(value.SetDateTime(c[0], c[1], c[2], c[3], c[4], c[5]));
        EXPECT_EQ(value.m_status, CDateTimeValue::Status::Invalid);
        EXPECT_EQ(value.GetHour(), -1);
        EXPECT_EQ(value.GetSecond(), -1);
    }
}
