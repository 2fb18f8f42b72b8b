#include "app/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace
{

struct DoubleCase
{
    const char* name;
    const char* text;
    std::optional<double> expected;
};

const DoubleCase kDoubleCases[] = {
    {"plain integer", "20000", 20000.0},
    {"blanks around", " \t 8.5 \t", 8.5},
    {"leading point", ".5", 0.5},
    {"trailing point", "3.", 3.0},
    {"sign and exponent", "-1.5e3", -1500.0},
    {"plus sign", "+7", 7.0},
    {"zero", "0", 0.0},
    {"zero with fraction", "0.000", 0.0},
    {"empty", "", std::nullopt},
    {"only blanks", "   ", std::nullopt},
    {"letters after", "12abc", std::nullopt},
    {"two numbers", "1 2", std::nullopt},
    {"comma decimal", "1,5", std::nullopt},
    {"dangling exponent", "1e", std::nullopt},
    {"signed zero", "-0", std::nullopt},
    {"zero without leading digit", ".0", std::nullopt},
    {"infinity word", "inf", std::nullopt},
    {"nan word", "nan", std::nullopt},
    {"hexadecimal", "0x10", std::nullopt},
    {"newline is not a blank", "5\n", std::nullopt},
};

} // namespace

TEST(NumberText, parses_what_the_dialog_framework_accepts)
{
    for (const DoubleCase& c : kDoubleCases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseDialogDouble(c.text), c.expected);
    }
}

TEST(NumberText, huge_numbers_become_infinite_so_range_checks_refuse_them)
{
    const auto huge = ParseDialogDouble("1e999");
    ASSERT_TRUE(huge.has_value());
    EXPECT_TRUE(std::isinf(*huge));
    EXPECT_EQ(ParseDialogDouble("1e-999"), std::nullopt); // comes out as zero
}

TEST(NumberText, integers_need_a_whole_number_in_int_range)
{
    EXPECT_EQ(ParseDialogInt(" 440 "), 440);
    EXPECT_EQ(ParseDialogInt("-20"), -20);
    EXPECT_EQ(ParseDialogInt("0"), 0);
    EXPECT_EQ(ParseDialogInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseDialogInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseDialogInt("2147483648"), std::nullopt);
    EXPECT_EQ(ParseDialogInt("12.5"), std::nullopt);
    EXPECT_EQ(ParseDialogInt(""), std::nullopt);
    EXPECT_EQ(ParseDialogInt("-"), std::nullopt);
    EXPECT_EQ(ParseDialogInt("+0"), std::nullopt);
}

TEST(NumberText, doubles_are_written_with_fifteen_significant_digits)
{
    EXPECT_EQ(FormatDialogDouble(20000.0), "20000");
    EXPECT_EQ(FormatDialogDouble(8.0), "8");
    EXPECT_EQ(FormatDialogDouble(0.1), "0.1");
    EXPECT_EQ(FormatDialogDouble(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatDialogDouble(1e20), "1e+20");
    EXPECT_EQ(FormatDialogDouble(-0.5), "-0.5");
    EXPECT_EQ(FormatDialogInt(-440), "-440");
}

TEST(NumberText, leading_number_reads_what_the_user_is_typing)
{
    EXPECT_EQ(LeadingNumber("440"), 440.0);
    EXPECT_EQ(LeadingNumber("25000abc"), 25000.0);
    EXPECT_EQ(LeadingNumber(""), 0.0);
    EXPECT_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_EQ(LeadingNumber("  12.5e1x"), 125.0);
}
