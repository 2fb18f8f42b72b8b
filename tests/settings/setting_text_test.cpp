#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/file_setting.h"
#include "settings/noise_setting.h"
#include "settings/setting_text.h"

namespace {

TEST(SettingText, LongNameIsCutTo49BytesAndTheRestOfTheFieldIsZero)
{
    NoiseSetting s;
    std::memset(&s, 0x5A, sizeof s);
    const std::string sixty(60, 'n');
    StoreName(s.name, sixty);
    EXPECT_EQ(FieldText(s.name), std::string(49, 'n'));
    for (std::size_t i = 49; i < sizeof s.name; ++i)
        EXPECT_EQ(s.name[i], 0) << "byte " << i;
    EXPECT_EQ(s.reserved2[0], 0x5A) << "the field's neighbours are not touched";

    StoreName(s.name, "Short");
    EXPECT_EQ(FieldText(s.name), "Short");
    for (std::size_t i = 5; i < sizeof s.name; ++i)
        EXPECT_EQ(s.name[i], 0) << "byte " << i;
}

TEST(SettingText, LongFileNameIsCutTo259Bytes)
{
    FileSetting s{};
    StoreFileName(s.fileName, "/" + std::string(300, 'f'));
    EXPECT_EQ(FieldText(s.fileName), "/" + std::string(258, 'f'));
    EXPECT_EQ(s.fileName[259], 0);
}

TEST(SettingText, CutNeverSplitsAUtf8Character)
{
    struct Row
    {
        const char* label;
        std::string text;
        std::size_t expectedLength;
    };
    const std::string a48(48, 'a');
    const Row rows[] = {
        {"fits exactly", std::string(49, 'a'), 49},
        {"two-byte char across the limit", a48 + "\xC3\xA9" "x", 48},
        {"two-byte char ending at the limit", std::string(47, 'a') + "\xC3\xA9" "x", 49},
        {"three-byte char across the limit", std::string(47, 'a') + "\xE2\x82\xAC" "x", 47},
        {"four-byte char across the limit", std::string(46, 'a') + "\xF0\x9F\x8C\x8A" "x", 46},
        {"four-byte char ending at the limit", std::string(45, 'a') + "\xF0\x9F\x8C\x8A" "x", 49},
        {"stray continuation bytes are cut at the byte limit", std::string(60, '\x80'), 49},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Utf8CutLength(row.text, 49), row.expectedLength) << row.label;
        NoiseSetting s{};
        StoreName(s.name, row.text);
        EXPECT_EQ(FieldText(s.name), row.text.substr(0, row.expectedLength)) << row.label;
    }

    FileSetting f{};
    std::string path = "/a";
    while (path.size() < 300)
        path += "\xC3\xBC";  // 'ü' at even offsets: the one at 258 does not fit
    StoreFileName(f.fileName, path);
    EXPECT_EQ(FieldText(f.fileName), path.substr(0, 258));
}

TEST(SettingText, TerminateFieldCutsOnlyAFieldWithoutZeroByte)
{
    char name[50];
    std::memset(name, 'q', sizeof name);
    TerminateField(name, sizeof name);
    EXPECT_EQ(FieldText(name), std::string(49, 'q'));

    // 47 bytes and a two-byte character fill the field up to byte 48; the
    // 50th byte starts another character that does not fit.
    std::memset(name, 'q', sizeof name);
    std::memcpy(name + 47, "\xC3\xA9\xE2", 3);
    TerminateField(name, sizeof name);
    EXPECT_EQ(FieldText(name), std::string(47, 'q') + "\xC3\xA9");

    char kept[50] = "abc";
    kept[10] = 'z';  // bytes after a terminator are left alone
    TerminateField(kept, sizeof kept);
    EXPECT_EQ(kept[10], 'z');
}

TEST(SettingText, NamesCompareWithoutRegardToAsciiCase)
{
    EXPECT_EQ(CompareNamesNoCase("easy bay surf", "Easy Bay Surf"), 0);
    EXPECT_LT(CompareNamesNoCase("Easy", "easy bay"), 0);
    EXPECT_GT(CompareNamesNoCase("Strong", "standard"), 0);
    EXPECT_GT(CompareNamesNoCase("Zebra", "apple"), 0);
    // '_' (0x5F) lies between the upper- and lower-case letters: folding to
    // lower case puts it before every letter.
    EXPECT_LT(CompareNamesNoCase("_", "Z"), 0);
    EXPECT_LT(CompareNamesNoCase("_", "a"), 0);
    // Non-ASCII bytes compare by value, after every ASCII character.
    EXPECT_GT(CompareNamesNoCase("\xC3\xA9t\xC3\xA9", "zzz"), 0);
    EXPECT_NE(CompareNamesNoCase("\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9"), 0);
    EXPECT_EQ(CompareNamesNoCase("", ""), 0);
    EXPECT_LT(CompareNamesNoCase("", "a"), 0);
}

}  // namespace
