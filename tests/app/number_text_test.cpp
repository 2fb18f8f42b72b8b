#include "app/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

TEST(NumberText, parses_what_the_dialog_framework_accepts)
{
    struct Case
    {
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"20000", 20000.0},   {" \t 8.5 \t", 8.5},  {".5", 0.5},        {"3.", 3.0},
        {"-1.5e3", -1500.0},  {"+7", 7.0},          {"0", 0.0},         {"0.000", 0.0},
        {"", std::nullopt},   {"   ", std::nullopt}, {"12abc", std::nullopt}, {"1 2", std::nullopt},
        {"1,5", std::nullopt}, {"1e", std::nullopt}, {"-0", std::nullopt}, {".0", std::nullopt},
        {"inf", std::nullopt}, {"nan", std::nullopt}, {"0x10", std::nullopt},
        {"5\n", std::nullopt},  // a newline is not a blank
        {"1e-999", std::nullopt}, // comes out as zero
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDialogDouble(c.text), c.expected) << '"' << c.text << '"';

    // Huge numbers become infinite, so range checks refuse them.
    const auto huge = ParseDialogDouble("1e999");
    ASSERT_TRUE(huge.has_value());
    EXPECT_TRUE(std::isinf(*huge));
}

TEST(NumberText, integers_need_a_whole_number_in_int_range)
{
    EXPECT_EQ(ParseDialogInt(" 440 "), 440);
    EXPECT_EQ(ParseDialogInt("-20"), -20);
    EXPECT_EQ(ParseDialogInt("0"), 0);
    EXPECT_EQ(ParseDialogInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseDialogInt("-2147483648"), -2147483647 - 1);
    for (const char* refused : {"2147483648", "12.5", "", "-", "+0"})
        EXPECT_EQ(ParseDialogInt(refused), std::nullopt) << refused;
}

TEST(NumberText, doubles_are_written_with_fifteen_significant_digits)
{
    EXPECT_EQ(FormatDialogDouble(20000.0), "20000");
    EXPECT_EQ(FormatDialogDouble(0.1), "0.1");
    EXPECT_EQ(FormatDialogDouble(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatDialogDouble(1e20), "1e+20");
    EXPECT_EQ(FormatDialogDouble(-0.5), "-0.5");
    EXPECT_EQ(FormatDialogInt(-440), "-440");
}

TEST(NumberText, leading_number_reads_what_the_user_is_typing)
{
    EXPECT_EQ(LeadingNumber("25000abc"), 25000.0);
    EXPECT_EQ(LeadingNumber(""), 0.0);
    EXPECT_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_EQ(LeadingNumber("  12.5e1x"), 125.0);
}
