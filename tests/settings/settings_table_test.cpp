// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/setting_list.h"
#include "settings/settings_table.h"
#include "settings_tables.h"
#include "testing/param_name.h"

namespace
{

using Names = std::vector<std::string>;

namespace
{

struct NameCutRow
{
    const char* name;
    std::string text;
    std::size_t kept;
};

using SettingTextNameCut = ::testing::TestWithParam<NameCutRow>;

} // namespace

TEST_P(SettingTextNameCut, NameIsCutTo49BytesWithoutSplittingAUtf8Character)
{
    const NameCutRow& row = GetParam();
    NoiseSetting s;
    std::memset(&s, 0x5A, sizeof s);
    StoreName(s.name, row.text);
    EXPECT_EQ(FieldText(s.name), row.text.substr(0, row.kept));
    EXPECT_EQ(std::string(s.name + row.kept, 50 - row.kept), std::string(50 - row.kept, '\0'));
    EXPECT_EQ(s.reserved2[0], 0x5A) << "the field's neighbours are not touched";
}

INSTANTIATE_TEST_SUITE_P(
    Names, SettingTextNameCut,
    ::testing::Values(NameCutRow{"60 single-byte characters", std::string(60, 'n'), 49},
                      NameCutRow{"two-byte char across the limit", std::string(48, 'a') + "\xC3\xA9", 48},
                      NameCutRow{"two-byte char ending at the limit",
                                 std::string(47, 'a')
                                     + "\xC3\xA9"
                                       "x",
                                 49},
                      NameCutRow{"three-byte char across the limit", std::string(47, 'a') + "\xE2\x82\xAC", 47},
                      NameCutRow{"four-byte char across the limit", std::string(46, 'a') + "\xF0\x9F\x8C\x8A", 46},
                      NameCutRow{"stray continuation bytes: cut at the byte limit", std::string(60, '\x80'), 49}),
    RowName());

TEST(SettingText, FileNameIsCutTo258BytesWithoutSplittingAUtf8Character)
{
    FileSetting f{};
    std::string path = "/a";
    while (path.size() < 300)
        path += "\xC3\xBC"; // 'ü' at even offsets: the one at 258 does not fit
    StoreFileName(f.fileName, path);
    EXPECT_EQ(FieldText(f.fileName), path.substr(0, 258));
}

TEST(SettingText, NamesCompareWithoutRegardToCase)
{
    EXPECT_EQ(CompareNamesNoCase("easy bay surf", "Easy Bay Surf"), 0);
    EXPECT_LT(CompareNamesNoCase("Easy", "easy bay"), 0);
    EXPECT_LT(CompareNamesNoCase("_", "Z"), 0) << "folded to lower case, '_' sorts before letters";
    EXPECT_EQ(CompareNamesNoCase("Ärger Łódź ΩЖЁ", "ärger łÓDŹ ωжё"), 0);
    EXPECT_LT(CompareNamesNoCase("×", "÷"), 0) << "the multiplication sign is no letter";
    EXPECT_GT(CompareNamesNoCase("a\xFF", "a\xF0\x9F\x8C\x8A"), 0) << "a stray byte sorts after any character";
}

TEST(SettingsTable, LookupIsExactAndTakesTheLowestSlotAndSavesTakeTheLowestFreeSlot)
{
    Tables t;
    t.Occupy(7, "Easy Bay Surf");
    t.Occupy(8, "Mine");
    t.Occupy(9, "Mine");
    EXPECT_EQ(t.noise.FindByName("Easy Bay Surf"), 4) << "a built-in's name always finds the built-in";
    EXPECT_EQ(t.noise.FindByName("Mine"), 8);
    EXPECT_EQ(t.noise.FindByName("mine"), -1);
    EXPECT_EQ(t.noise.LowestFreeSlot(), 10);
    t.noise.Free(8);
    EXPECT_EQ(t.noise.FindByName("Mine"), 9);
    t.noise.Free(2); // a built-in leaves a hole below the first user slot
    EXPECT_EQ(t.noise.LowestFreeSlot(), 2);
    EXPECT_EQ(t.noise.LowestFreeSlot(t.noise.m_firstUserSlot), 8);
}

TEST(SettingList, EqualNamesKeepTheirOrderOfAdditionAndSelectionFallsBackToTheFirst)
{
    Tables t;
    t.Occupy(7, "easy bay surf");
    t.Occupy(8, "Aardvark");
    t.Occupy(9, "EASY BAY SURF");
    const Names names = t.noise.SortedNames();
    EXPECT_EQ(Names(names.begin(), names.begin() + 5),
              (Names{"Aardvark", "Easy Bay Surf", "easy bay surf", "EASY BAY SURF", "Easy Pacific Surf"}));
    EXPECT_EQ(SortedInsertPosition(names, "easy BAY surf"), 4u);
    EXPECT_EQ(FindEntryNoCase(names, "aardvark"), 0) << "the first entry is searched last";
    EXPECT_EQ(FindEntryNoCase(names, "EASY bay surf"), 1);
    EXPECT_EQ(FindEntryNoCase(names, "nothing"), -1);
    EXPECT_EQ(RestoredPosition(7, 8), 7);
    EXPECT_EQ(RestoredPosition(-1, 8), 0);
    EXPECT_EQ(RestoredPosition(8, 8), 0) << "beyond the end: the first entry";
    EXPECT_EQ(RestoredPosition(0, 0), -1);
}

} // namespace
