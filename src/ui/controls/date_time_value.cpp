// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/date_time_value.h"

#include <cmath>

namespace
{

// Variant day numbers of 0100-01-01 and of the day after 9999-12-31, the
// range the conversions accept.
constexpr double kFirstDay = -657434.0;
constexpr double kDayAfterLast = 2958466.0;
constexpr int kSecondsPerDay = 86400;

// Days from 1970-01-01 to the given proleptic Gregorian date (any month
// 1..12, any day count, which simply adds on).
long long DaysFromCivil(long long y, unsigned m, long long d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

const long long kEpochDays = DaysFromCivil(1899, 12, 30);

} // namespace

std::optional<double> SystemTimeToVariantTime(const SystemTime& st)
{
    if (st.year > 9999 || st.month > 12 || st.day > 31 || st.hour > 23 || st.minute > 59 || st.second > 59
        || st.milliseconds > 999)
        return std::nullopt;

    long long year = st.year;
    if (year < 30)
        year += 2000;
    else if (year < 100)
        year += 1900;
    unsigned month = st.month;
    if (month == 0)
    {
        month = 12;
        --year;
    }
    // Day 0 and days past the month's end fall out of the day arithmetic.
    const long long days = DaysFromCivil(year, month, 1) + (st.day - 1) - kEpochDays;
    const double fraction =
        (st.hour * 3600.0 + st.minute * 60.0 + st.second + st.milliseconds / 1000.0) / kSecondsPerDay;
    return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

std::optional<SystemTime> VariantTimeToSystemTime(double variantTime)
{
    if (!(variantTime > kFirstDay - 1.0 && variantTime < kDayAfterLast))
        return std::nullopt;

    double whole = std::trunc(variantTime);
    long long seconds = std::llround(std::fabs(variantTime - whole) * kSecondsPerDay);
    // Negative times count the time of day forward from their day, so a
    // carry moves to the later day in both directions.
    if (seconds >= kSecondsPerDay)
    {
        seconds -= kSecondsPerDay;
        whole += 1.0;
    }
    const long long dayNumber = kEpochDays + static_cast<long long>(whole);
    long long y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(dayNumber, y, m, d);
    if (y < 100 || y > 9999)
        return std::nullopt;

    SystemTime st;
    st.year = static_cast<std::uint16_t>(y);
    st.month = static_cast<std::uint16_t>(m);
    st.day = static_cast<std::uint16_t>(d);
    // 1970-01-01 was a Thursday.
    st.dayOfWeek = static_cast<std::uint16_t>(((dayNumber % 7) + 7 + 4) % 7);
    st.hour = static_cast<std::uint16_t>(seconds / 3600);
    st.minute = static_cast<std::uint16_t>(seconds / 60 % 60);
    st.second = static_cast<std::uint16_t>(seconds % 60);
    return st;
}

bool CDateTimeValue::SetDateTime(int year, int month, int day, int hour, int minute, int second)
{
    SystemTime st;
    st.year = static_cast<std::uint16_t>(year);
    st.month = static_cast<std::uint16_t>(month);
    st.day = static_cast<std::uint16_t>(day);
    st.hour = static_cast<std::uint16_t>(hour);
    st.minute = static_cast<std::uint16_t>(minute);
    st.second = static_cast<std::uint16_t>(second);
    const std::optional<double> time = SystemTimeToVariantTime(st);
    if (time)
    {
        m_time = *time;
        m_status = Status::Valid;
    }
    else
    {
        m_status = Status::Invalid;
    }
    return m_status == Status::Valid;
}

std::optional<SystemTime> CDateTimeValue::ToSystemTime() const
{
    if (m_status != Status::Valid)
        return std::nullopt;
    return VariantTimeToSystemTime(m_time);
}

int CDateTimeValue::GetHour() const
{
    const auto st = ToSystemTime();
    return st ? st->hour : -1;
}

int CDateTimeValue::GetMinute() const
{
    const auto st = ToSystemTime();
    return st ? st->minute : -1;
}

int CDateTimeValue::GetSecond() const
{
    const auto st = ToSystemTime();
    return st ? st->second : -1;
}

int CDateTimeValue::TotalSeconds() const
{
    return 3600 * GetHour() + 60 * GetMinute() + GetSecond();
}
