#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/builtin_presets.h"
#include "settings/setting_list.h"
#include "settings/settings_table.h"

namespace {

using Names = std::vector<std::string>;

struct Tables
{
    CNoiseSettingsTable noise;
    CFileSettingsTable file;
    Tables() { SetUpBuiltInPresets(noise, file); }
    void Occupy(int slot, const char* name) { StoreName(noise.m_slots[slot].name, name); }
};

TEST(BuiltInPresets, FirstStartSelectsEasyBaySurfAndStandardCdFromSortedLists)
{
    Tables t;
    EXPECT_EQ(t.noise.m_firstUserSlot, 7);
    EXPECT_EQ(t.file.m_firstUserSlot, 1);
    EXPECT_EQ(t.noise.SortedNames(),
        (Names{"Easy Bay Surf", "Easy Pacific Surf", "Rainforest Waterfall", "Standard Physiological Noise",
            "Strong Bay Surf", "Strong Pacific Surf", "Wideband White Noise"}));
    EXPECT_EQ(t.file.SortedNames(), (Names{"Standard CD"}));
    ASSERT_EQ(t.noise.RestoredSelection(), 0);
    ASSERT_EQ(t.file.RestoredSelection(), 0);

    const NoiseSetting& bay = t.noise.m_slots[t.noise.FindByName("Easy Bay Surf")];
    EXPECT_EQ(t.noise.FindByName("Easy Bay Surf"), 4);
    EXPECT_EQ(bay.noiseType, 2);
    EXPECT_EQ(bay.tinnitusFrequency, 440);
    EXPECT_EQ(bay.lowerLimit, 100.0);
    EXPECT_EQ(bay.upperLimit, 20000.0);
    EXPECT_EQ(bay.surfStrength, 30.0);
    EXPECT_EQ(bay.surfPeriod, 20.0);
    const FileSetting& cd = t.file.m_slots[0];
    EXPECT_EQ((std::vector<int>{cd.fadeIn, cd.fadeOut, cd.hours, cd.minutes, cd.seconds}),
        (std::vector<int>{10, 10, 1, 19, 0}));
    EXPECT_EQ(FieldText(cd.fileName), "");
}

TEST(SettingsTable, LookupIsExactAndTakesTheLowestSlotAndSavesTakeTheLowestFreeSlot)
{
    Tables t;
    t.Occupy(7, "Easy Bay Surf");
    t.Occupy(8, "Mine");
    t.Occupy(9, "Mine");
    t.noise.m_slots[8].surfPeriod = 12.5;
    EXPECT_EQ(t.noise.FindByName("Easy Bay Surf"), 4) << "a built-in's name always finds the built-in";
    EXPECT_EQ(t.noise.FindByName("Mine"), 8);
    EXPECT_EQ(t.noise.FindByName("mine"), -1);
    EXPECT_EQ(t.noise.LowestFreeSlot(), 10);

    t.noise.Free(8);
    EXPECT_EQ(t.noise.m_slots[8].surfPeriod, 12.5) << "freeing clears the name only";
    EXPECT_EQ(t.noise.FindByName("Mine"), 9);
    t.noise.Free(2);  // a built-in leaves a hole below the first user slot
    EXPECT_EQ(t.noise.LowestFreeSlot(), 2);
    EXPECT_EQ(t.noise.LowestFreeSlot(t.noise.m_firstUserSlot), 8);
    for (int slot = 0; slot < kSettingSlots; ++slot)
        t.Occupy(slot, "x");
    EXPECT_EQ(t.noise.LowestFreeSlot(), -1);
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
    EXPECT_EQ(SortedInsertPosition(names, "zzz"), names.size());
    EXPECT_EQ(FindEntryNoCase(names, "aardvark"), 0) << "the first entry is searched last";
    EXPECT_EQ(FindEntryNoCase(names, "EASY bay surf"), 1);
    EXPECT_EQ(FindEntryNoCase(names, "nothing"), -1);

    EXPECT_EQ(RestoredPosition(7, 8), 7);
    EXPECT_EQ(RestoredPosition(-1, 8), 0);
    EXPECT_EQ(RestoredPosition(8, 8), 0) << "beyond the end: the first entry";
    EXPECT_EQ(RestoredPosition(0, 0), -1);
}

}  // namespace
