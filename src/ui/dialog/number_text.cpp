// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/number_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Length of the longest prefix of text that is a decimal floating-point
// number, 0 when there is none.
std::size_t DecimalNumberLength(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
    {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.')
    {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
        {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E'))
    {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j]))
        {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// Converts a checked decimal number. from_chars is locale-independent but
// takes no '+' and reports overflow instead of returning infinity.
double ConvertDecimal(std::string_view number)
{
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-'))
    {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range)
    {
        // Too large or too small: tell the two apart by the exponent's sign.
        const std::size_t e = number.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

} // namespace

std::optional<double> ParseDialogDouble(std::string_view text)
{
    const std::string_view number = TrimBlanks(text);
    if (number.empty() || DecimalNumberLength(number) != number.size())
        return std::nullopt;
    const double value = ConvertDecimal(number);
    if (value == 0.0 && number.front() != '0')
        return std::nullopt;
    return value;
}

std::optional<int> ParseDialogInt(std::string_view text)
{
    std::string_view number = TrimBlanks(text);
    if (number.empty())
        return std::nullopt;
    const char first = number.front();
    bool negative = false;
    if (first == '+' || first == '-')
    {
        negative = first == '-';
        number.remove_prefix(1);
    }
    if (number.empty() || !IsDigit(number.front()))
        return std::nullopt;
    long long magnitude = 0;
    for (char c : number)
    {
        if (!IsDigit(c))
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL)
            return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > 2147483647LL || (value == 0 && first != '0'))
        return std::nullopt;
    return static_cast<int>(value);
}

std::string FormatDialogDouble(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::string FormatDialogInt(int value)
{
    return std::to_string(value);
}

double LeadingNumber(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    const std::size_t length = DecimalNumberLength(text);
    return length == 0 ? 0.0 : ConvertDecimal(text.substr(0, length));
}
