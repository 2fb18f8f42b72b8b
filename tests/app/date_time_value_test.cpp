#include "app/date_time_value.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

int SecondsOf(int hour, int minute, int second)
{
    CDateTimeValue value;
    value.SetDateTime(1899, 12, 30, hour, minute, second);
    return value.TotalSeconds();
}

} // namespace

TEST(DateTimeValue, time_of_day_on_day_zero_gives_whole_seconds)
{
    EXPECT_EQ(SecondsOf(0, 0, 0), 0);
    EXPECT_EQ(SecondsOf(23, 59, 59), 86399);
    EXPECT_EQ(SecondsOf(1, 19, 0), 4740);
    EXPECT_EQ(SecondsOf(2, 0, 30), 7230);
    EXPECT_EQ(SecondsOf(13, 31, 35), 48695);

    CDateTimeValue value;
    ASSERT_TRUE(value.SetDateTime(1899, 12, 30, 2, 0, 30));
    EXPECT_EQ(value.m_status, CDateTimeValue::Status::Valid);
    EXPECT_DOUBLE_EQ(value.m_time, 7230.0 / 86400.0);
    EXPECT_EQ(value.GetHour(), 2);
    EXPECT_EQ(value.GetMinute(), 0);
    EXPECT_EQ(value.GetSecond(), 30);
}

TEST(DateTimeValue, every_second_of_a_day_comes_back_unchanged)
{
    CDateTimeValue value;
    for (int s = 0; s < 86400; ++s)
    {
        value.SetDateTime(1899, 12, 30, s / 3600, s / 60 % 60, s % 60);
        ASSERT_EQ(value.TotalSeconds(), s);
    }
}

TEST(DateTimeValue, zero_date_fields_roll_back_and_keep_the_time)
{
    // Year 0 is 2000; month 0 is December before; day 0 the day before the 1st.
    CDateTimeValue value;
    ASSERT_TRUE(value.SetDateTime(0, 0, 0, 1, 19, 0));
    EXPECT_EQ(value.GetHour(), 1);
    EXPECT_EQ(value.GetMinute(), 19);
    EXPECT_EQ(value.GetSecond(), 0);
    const auto st = VariantTimeToSystemTime(value.m_time);
    ASSERT_TRUE(st.has_value());
    EXPECT_EQ(st->year, 1999);
    EXPECT_EQ(st->month, 11);
    EXPECT_EQ(st->day, 30);
}

TEST(DateTimeValue, fields_outside_a_calendar_are_refused_and_read_as_minus_one)
{
    struct Case
    {
        const char* name;
        int y, mo, d, h, mi, s;
    };
    const Case cases[] = {
        {"hour -1", 1899, 12, 30, -1, 0, 0},     {"hour 24", 1899, 12, 30, 24, 0, 0},
        {"minute 60", 1899, 12, 30, 0, 60, 0},   {"second -1", 1899, 12, 30, 0, 0, -1},
        {"month 13", 1899, 13, 30, 0, 0, 0},     {"day 32", 1899, 12, 32, 0, 0, 0},
        {"year 10000", 10000, 1, 1, 0, 0, 0},    {"year -1", -1, 1, 1, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CDateTimeValue value;
        value.SetDateTime(1899, 12, 30, 5, 6, 7);
        EXPECT_FALSE(value.SetDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s));
        EXPECT_EQ(value.m_status, CDateTimeValue::Status::Invalid);
        EXPECT_EQ(value.GetHour(), -1);
        EXPECT_EQ(value.GetMinute(), -1);
        EXPECT_EQ(value.GetSecond(), -1);
    }
}

TEST(DateTimeValue, variant_times_follow_the_day_zero_convention)
{
    SystemTime noon;
    noon.year = 1899;
    noon.month = 12;
    noon.day = 30;
    noon.hour = 12;
    EXPECT_EQ(SystemTimeToVariantTime(noon), 0.5);

    // Days before day zero are negative, with the time counted forward.
    SystemTime before;
    before.year = 1899;
    before.month = 12;
    before.day = 29;
    before.hour = 6;
    EXPECT_EQ(SystemTimeToVariantTime(before), -1.25);
    const auto back = VariantTimeToSystemTime(-1.25);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->day, 29);
    EXPECT_EQ(back->hour, 6);

    // A fraction a hair below midnight rounds to the next day's 00:00:00.
    const auto carried = VariantTimeToSystemTime(1.0 - 1e-9);
    ASSERT_TRUE(carried.has_value());
    EXPECT_EQ(carried->day, 31);
    EXPECT_EQ(carried->hour, 0);

    EXPECT_FALSE(VariantTimeToSystemTime(std::nan("")).has_value());
    EXPECT_FALSE(VariantTimeToSystemTime(3e6).has_value());

    CDateTimeValue corrupt;
    corrupt.m_time = 3e6; // valid status, but not a date
    EXPECT_EQ(corrupt.GetHour(), -1);
}
