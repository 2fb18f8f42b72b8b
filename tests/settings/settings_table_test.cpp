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
};

void Occupy(CNoiseSettingsTable& table, int slot, const char* name)
{
    table.m_slots[slot] = NoiseSetting{};
    StoreName(table.m_slots[slot].name, name);
}

TEST(BuiltInPresets, FirstStartListsAreSortedAndSelectTheirFirstEntry)
{
    Tables t;
    EXPECT_EQ(t.noise.m_firstUserSlot, 7);
    EXPECT_EQ(t.file.m_firstUserSlot, 1);
    EXPECT_EQ(t.noise.SortedNames(),
        (Names{"Easy Bay Surf", "Easy Pacific Surf", "Rainforest Waterfall", "Standard Physiological Noise",
            "Strong Bay Surf", "Strong Pacific Surf", "Wideband White Noise"}));
    EXPECT_EQ(t.file.SortedNames(), (Names{"Standard CD"}));
    EXPECT_EQ(t.noise.RestoredSelection(), 0);
    EXPECT_EQ(t.file.RestoredSelection(), 0);
}

TEST(BuiltInPresets, SlotsHoldTheExactPresetValuesInSlotOrder)
{
    Tables t;
    struct Expected
    {
        const char* name;
        int type;
        double strength;
        double period;
    };
    const Expected expected[] = {
        {"Rainforest Waterfall", 0, 0, 8},  {"Wideband White Noise", 1, 0, 8}, {"Easy Pacific Surf", 2, 30, 30},
        {"Strong Pacific Surf", 2, 40, 30}, {"Easy Bay Surf", 2, 30, 20},      {"Strong Bay Surf", 2, 40, 20},
        {"Standard Physiological Noise", 0, 0, 8},
    };
    for (int slot = 0; slot < 7; ++slot) {
        const NoiseSetting& s = t.noise.m_slots[slot];
        EXPECT_EQ(FieldText(s.name), expected[slot].name);
        EXPECT_EQ(s.noiseType, expected[slot].type) << expected[slot].name;
        EXPECT_EQ(s.tinnitusFrequency, 440);
        EXPECT_EQ(s.lowerLimit, 100.0);
        EXPECT_EQ(s.upperLimit, 20000.0);
        EXPECT_EQ(s.surfStrength, expected[slot].strength) << expected[slot].name;
        EXPECT_EQ(s.surfPeriod, expected[slot].period) << expected[slot].name;
    }
    EXPECT_FALSE(t.noise.IsOccupied(7));

    const FileSetting& cd = t.file.m_slots[0];
    EXPECT_EQ(FieldText(cd.name), "Standard CD");
    EXPECT_EQ(cd.fadeIn, 10);
    EXPECT_EQ(cd.fadeOut, 10);
    EXPECT_EQ(cd.hours, 1);
    EXPECT_EQ(cd.minutes, 19);
    EXPECT_EQ(cd.seconds, 0);
    EXPECT_EQ(FieldText(cd.fileName), "");
    EXPECT_FALSE(t.file.IsOccupied(1));
}

TEST(SettingsTable, FreeingClearsOnlyTheNameAndTheLowestFreeSlotIsReused)
{
    Tables t;
    Occupy(t.noise, 7, "Mine");
    t.noise.m_slots[7].surfPeriod = 12.5;
    EXPECT_EQ(t.noise.LowestFreeSlot(), 8);

    t.noise.Free(4);  // a built-in: it leaves a hole below the first user slot
    t.noise.Free(7);
    EXPECT_EQ(t.noise.m_slots[7].surfPeriod, 12.5);
    for (char c : t.noise.m_slots[7].name)
        EXPECT_EQ(c, 0);
    EXPECT_EQ(t.noise.LowestFreeSlot(), 4);
    EXPECT_EQ(t.noise.LowestFreeSlot(t.noise.m_firstUserSlot), 7);
    EXPECT_EQ(t.noise.m_firstUserSlot, 7) << "the first user slot stays as computed at start";

    for (int slot = 0; slot < kSettingSlots; ++slot)
        Occupy(t.noise, slot, "x");
    EXPECT_EQ(t.noise.LowestFreeSlot(), -1);
}

TEST(SettingsTable, LookupByNameIsExactAndTakesTheLowestSlot)
{
    Tables t;
    Occupy(t.noise, 7, "Easy Bay Surf");
    Occupy(t.noise, 8, "Mine");
    Occupy(t.noise, 9, "Mine");
    EXPECT_EQ(t.noise.FindByName("Easy Bay Surf"), 4) << "a built-in's name always finds the built-in";
    EXPECT_EQ(t.noise.FindByName("Mine"), 8);
    EXPECT_EQ(t.noise.FindByName("mine"), -1);
    EXPECT_EQ(t.noise.FindByName("Min"), -1);
    EXPECT_EQ(t.noise.FindByName(""), -1);
    t.noise.Free(8);
    EXPECT_EQ(t.noise.FindByName("Mine"), 9);
}

TEST(SettingList, EqualNamesKeepTheirOrderOfAddition)
{
    Tables t;
    Occupy(t.noise, 7, "easy bay surf");
    Occupy(t.noise, 8, "Aardvark");
    Occupy(t.noise, 9, "EASY BAY SURF");
    const Names names = t.noise.SortedNames();
    ASSERT_EQ(names.size(), 10u);
    EXPECT_EQ(names[0], "Aardvark");
    EXPECT_EQ(names[1], "Easy Bay Surf");
    EXPECT_EQ(names[2], "easy bay surf");
    EXPECT_EQ(names[3], "EASY BAY SURF");
    EXPECT_EQ(names[4], "Easy Pacific Surf");

    EXPECT_EQ(SortedInsertPosition(names, "easy BAY surf"), 4u);
    EXPECT_EQ(SortedInsertPosition(names, "a"), 0u);
    EXPECT_EQ(SortedInsertPosition(names, "zzz"), names.size());
    EXPECT_EQ(FindEntryNoCase(names, "Easy bay SURF"), 1) << "searched from the second entry on";
    EXPECT_EQ(FindEntryNoCase(names, "aardvark"), 0) << "the first entry is searched last";
    EXPECT_EQ(FindEntryNoCase(names, "nothing"), -1);
    EXPECT_EQ(FindEntryNoCase({}, "nothing"), -1);
}

TEST(SettingList, RestoredPositionFallsBackToTheFirstEntry)
{
    EXPECT_EQ(RestoredPosition(3, 8), 3);
    EXPECT_EQ(RestoredPosition(7, 8), 7);
    EXPECT_EQ(RestoredPosition(-1, 8), 0);
    EXPECT_EQ(RestoredPosition(8, 8), 0);
    EXPECT_EQ(RestoredPosition(-7, 8), 0);
    EXPECT_EQ(RestoredPosition(0, 0), -1);
}

}  // namespace
