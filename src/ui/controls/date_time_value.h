// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

// A calendar date and time of day, field by field, as the date conversions
// take and give it. Fields hold the low 16 bits of whatever the caller passed.
struct SystemTime
{
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// Converts a calendar record into a variant time: days since 1899-12-30
// 00:00:00, the fraction being the time of day. Dates before that day are
// negative with the time of day still counted forward (-1.25 is 1899-12-29
// 06:00). Refuses (nullopt) a year above 9999, a month above 12, a day above
// 31, an hour above 23, a minute or second above 59 or milliseconds above 999.
// Years 0..29 mean 2000..2029 and 30..99 mean 1930..1999; month 0 is December
// of the year before; day 0 is the last day of the month before, and days
// beyond the month's length roll into the following month.
std::optional<double> SystemTimeToVariantTime(const SystemTime& st);

// The reverse, to the nearest second; dayOfWeek is 0 for Sunday. Refuses NaN
// and times outside 0100-01-01 .. 9999-12-31 23:59:59.
std::optional<SystemTime> VariantTimeToSystemTime(double variantTime);

// The total playing time of a sound file: a date-time value of which only the
// time of day counts. Plain data, as the main window keeps it.
class CDateTimeValue
{
public:
    enum class Status
    {
        Valid = 0,
        Invalid = 1,
    };

    // Midnight of day zero, valid.
    CDateTimeValue() = default;

    // Fills a calendar record from the low 16 bits of each argument and
    // converts it; the value becomes invalid when the conversion refuses.
    // Returns true when the value is valid afterwards.
    bool SetDateTime(int year, int month, int day, int hour, int minute, int second);

    // 0..23, 0..59, 0..59; -1 when the value is invalid or cannot be
    // converted back into calendar form. Each call converts anew.
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;

    // 3600 * GetHour() + 60 * GetMinute() + GetSecond(): the length in whole
    // seconds that To File hands to the writer. Only meaningful when valid.
    int TotalSeconds() const;

    double m_time = 0.0;
    Status m_status = Status::Valid;

private:
    std::optional<SystemTime> ToSystemTime() const;
};
