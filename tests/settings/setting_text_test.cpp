#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/file_setting.h"
#include "settings/noise_setting.h"
#include "settings/setting_text.h"

namespace {

TEST(SettingText, NameIsCutTo49BytesWithoutSplittingAUtf8Character)
{
    const struct
    {
        const char* label;
        std::string text;
        std::size_t kept;
    } rows[] = {
        {"60 single-byte characters", std::string(60, 'n'), 49},
        {"two-byte char across the limit", std::string(48, 'a') + "\xC3\xA9", 48},
        {"two-byte char ending at the limit", std::string(47, 'a') + "\xC3\xA9" "x", 49},
        {"three-byte char across the limit", std::string(47, 'a') + "\xE2\x82\xAC", 47},
        {"four-byte char across the limit", std::string(46, 'a') + "\xF0\x9F\x8C\x8A", 46},
        {"stray continuation bytes: cut at the byte limit", std::string(60, '\x80'), 49},
    };
    for (const auto& row : rows) {
        NoiseSetting s;
        std::memset(&s, 0x5A, sizeof s);
        StoreName(s.name, row.text);
        EXPECT_EQ(FieldText(s.name), row.text.substr(0, row.kept)) << row.label;
        for (std::size_t i = row.kept; i < sizeof s.name; ++i)
            EXPECT_EQ(s.name[i], 0) << row.label << ", byte " << i;
        EXPECT_EQ(s.reserved2[0], 0x5A) << "the field's neighbours are not touched";
    }

    FileSetting f{};
    std::string path = "/a";
    while (path.size() < 300)
        path += "\xC3\xBC";  // 'ü' at even offsets: the one at 258 does not fit
    StoreFileName(f.fileName, path);
    EXPECT_EQ(FieldText(f.fileName), path.substr(0, 258));
    StoreFileName(f.fileName, std::string(300, 'f'));
    EXPECT_EQ(FieldText(f.fileName), std::string(259, 'f'));
}

TEST(SettingText, TerminateFieldCutsOnlyAFieldWithoutZeroByte)
{
    char name[50];
    std::memset(name, 'q', sizeof name);
    std::memcpy(name + 47, "\xC3\xA9\xE2", 3);  // the last byte starts a character that does not fit
    EXPECT_TRUE(TerminateField(name, sizeof name));
    EXPECT_EQ(FieldText(name), std::string(47, 'q') + "\xC3\xA9");

    char kept[50] = "abc";
    kept[10] = 'z';
    EXPECT_FALSE(TerminateField(kept, sizeof kept));
    EXPECT_EQ(kept[10], 'z') << "bytes after a terminator are left alone";
}

TEST(SettingText, NamesCompareWithoutRegardToAsciiCase)
{
    EXPECT_EQ(CompareNamesNoCase("easy bay surf", "Easy Bay Surf"), 0);
    EXPECT_LT(CompareNamesNoCase("Easy", "easy bay"), 0);
    EXPECT_GT(CompareNamesNoCase("Strong", "standard"), 0);
    // Folding to lower case puts '_' (between 'Z' and 'a') before every letter.
    EXPECT_LT(CompareNamesNoCase("_", "Z"), 0);
    // Other bytes compare by value: non-ASCII after ASCII, no case folding.
    EXPECT_GT(CompareNamesNoCase("\xC3\xA9t\xC3\xA9", "zzz"), 0);
    EXPECT_LT(CompareNamesNoCase("\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9"), 0);
}

}  // namespace
