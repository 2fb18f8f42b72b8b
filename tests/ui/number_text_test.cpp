// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/number_text.h"
#include "testing/param_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace
{

struct ParseCase
{
    const char* name;
    const char* text;
    std::optional<double> expected;
};

class NumberTextParse : public testing::TestWithParam<ParseCase>
{};

} // namespace

// A newline is not a blank; a number that comes out as zero by underflow is
// refused, as the dialog framework refuses it.
TEST_P(NumberTextParse, AcceptsWhatTheDialogFrameworkAccepts)
{
    EXPECT_EQ(ParseDialogDouble(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    NumberText, NumberTextParse,
    testing::Values(
        ParseCase{"Integer", "20000", 20000.0}, ParseCase{"BlanksAround", " \t 8.5 \t", 8.5},
        ParseCase{"NoLeadingDigit", ".5", 0.5}, ParseCase{"NoFraction", "3.", 3.0},
        ParseCase{"Exponent", "-1.5e3", -1500.0}, ParseCase{"PlusSign", "+7", 7.0}, ParseCase{"Zero", "0", 0.0},
        ParseCase{"ZeroWithFraction", "0.000", 0.0}, ParseCase{"Empty", "", std::nullopt},
        ParseCase{"BlanksOnly", "   ", std::nullopt}, ParseCase{"TrailingLetters", "12abc", std::nullopt},
        ParseCase{"InnerBlank", "1 2", std::nullopt}, ParseCase{"DecimalComma", "1,5", std::nullopt},
        ParseCase{"ExponentWithoutDigits", "1e", std::nullopt}, ParseCase{"NegativeZero", "-0", std::nullopt},
        ParseCase{"ZeroWithoutLeadingDigit", ".0", std::nullopt}, ParseCase{"Infinity", "inf", std::nullopt},
        ParseCase{"NotANumber", "nan", std::nullopt}, ParseCase{"Hexadecimal", "0x10", std::nullopt},
        ParseCase{"TrailingNewline", "5\n", std::nullopt}, ParseCase{"UnderflowToZero", "1e-999", std::nullopt},
        ParseCase{"HugeBecomesInfiniteForTheRangeCheck", "1e999", HUGE_VAL}),
    RowName());

TEST(NumberText, IntegersNeedAWholeNumberInIntRange)
{
    EXPECT_EQ(ParseDialogInt(" 440 "), 440);
    EXPECT_EQ(ParseDialogInt("-20"), -20);
    EXPECT_EQ(ParseDialogInt("0"), 0);
    EXPECT_EQ(ParseDialogInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseDialogInt("-2147483648"), -2147483647 - 1);
    for (const char* refused : {"2147483648", "12.5", "", "-", "+0"})
        EXPECT_EQ(ParseDialogInt(refused), std::nullopt) << refused;
}

TEST(NumberText, DoublesAreWrittenWithFifteenSignificantDigits)
{
    EXPECT_EQ(FormatDialogDouble(20000.0), "20000");
    EXPECT_EQ(FormatDialogDouble(0.1), "0.1");
    EXPECT_EQ(FormatDialogDouble(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatDialogDouble(1e20), "1e+20");
    EXPECT_EQ(FormatDialogDouble(-0.5), "-0.5");
    EXPECT_EQ(FormatDialogInt(-440), "-440");
}

TEST(NumberText, LeadingNumberReadsWhatTheUserIsTyping)
{
    EXPECT_EQ(LeadingNumber("25000abc"), 25000.0);
    EXPECT_EQ(LeadingNumber(""), 0.0);
    EXPECT_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_EQ(LeadingNumber("  12.5e1x"), 125.0);
}
