// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/printable_text.h"

#include <gtest/gtest.h>

#include "testing/param_name.h"

namespace
{

struct TextRow
{
    const char* name;
    std::string text;
    std::size_t maxChars;
    std::string shown;
};

using PrintableTextRows = ::testing::TestWithParam<TextRow>;

TEST_P(PrintableTextRows, EscapesControlsAndShortensByCharacters)
{
    EXPECT_EQ(PrintableText(GetParam().text, GetParam().maxChars), GetParam().shown);
}

const std::size_t kAll = std::string_view::npos;

INSTANTIATE_TEST_SUITE_P(Texts, PrintableTextRows,
                         ::testing::Values(TextRow{"plain and accented",
                                                   "N\xC3\xA4"
                                                   "chte 1",
                                                   kAll,
                                                   "N\xC3\xA4"
                                                   "chte 1"},
                                           TextRow{"escape sequence", "a\x1b[2Jb", kAll, "a\\x1B[2Jb"},
                                           TextRow{"newline and delete", "a\nb\x7f", kAll, "a\\x0Ab\\x7F"},
                                           TextRow{"C1 control",
                                                   "a\xC2\x9B"
                                                   "31m",
                                                   kAll, "a\\xC2\\x9B31m"},
                                           TextRow{"shortened after whole characters", "\xC3\xA4\xC3\xA4\xC3\xA4", 2,
                                                   "\xC3\xA4\xC3\xA4\xE2\x80\xA6"},
                                           TextRow{"exactly the limit", "abc", 3, "abc"},
                                           TextRow{"stray continuation bytes count and are escaped",
                                                   std::string(300, '\x80'), 2, "\\x80\\x80\xE2\x80\xA6"},
                                           TextRow{"lone CSI byte", "a\x9B[2J", kAll, "a\\x9B[2J"},
                                           TextRow{"four byte character then a stray byte", "\xF0\x9F\x8E\xB5\xB5",
                                                   kAll, "\xF0\x9F\x8E\xB5\\xB5"}),
                         RowName());

} // namespace
