#include <gtest/gtest.h>

#include <string>

#include "settings/setting_choice.h"
#include "settings/settings_store.h"

namespace {

CSettingsStore StoreWithUserSettings()
{
    CSettingsStore store;
    store.SetUp();
    NoiseSetting& mine = store.m_noiseSettings.m_slots[7];
    StoreName(mine.name, "Mine");
    mine.noiseType = 3;
    mine.tinnitusFrequency = 7000;
    StoreName(store.m_noiseSettings.m_slots[8].name, "Easy Bay Surf");  // shadowed by the built-in
    FileSetting& nap = store.m_fileSettings.m_slots[1];
    StoreName(nap.name, "Nap");
    nap.fadeIn = 30;
    return store;
}

TEST(SettingChoice, NamedSettingIsFoundAmongBuiltInsAndStoredOnes)
{
    const CSettingsStore store = StoreWithUserSettings();
    const auto mine = ChooseNoiseSetting(store, "Mine");
    ASSERT_TRUE(mine.found) << mine.error;
    EXPECT_EQ(mine.name, "Mine");
    EXPECT_EQ(mine.setting.tinnitusFrequency, 7000);

    const auto bay = ChooseNoiseSetting(store, "Easy Bay Surf");
    ASSERT_TRUE(bay.found);
    EXPECT_EQ(bay.setting.surfPeriod, 20.0) << "the built-in in the lower slot wins";

    const auto cd = ChooseFileSetting(store, "Standard CD");
    ASSERT_TRUE(cd.found);
    EXPECT_EQ(cd.setting.minutes, 19);
}

TEST(SettingChoice, UnknownNameIsAnErrorListingTheNamesInListOrder)
{
    const CSettingsStore store = StoreWithUserSettings();
    const auto none = ChooseFileSetting(store, "nap");
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.error, "there is no file setting named \"nap\"; the file settings are:\n  Nap\n  Standard CD");
    EXPECT_EQ(ChooseNoiseSetting(store, "").error.substr(0, 42), "there is no noise setting named \"\"; the no");
}

TEST(SettingChoice, WithoutANameTheSavedSelectionIsUsedAsTheWindowRestoresIt)
{
    CSettingsStore store = StoreWithUserSettings();
    // Sorted: Easy Bay Surf, Easy Bay Surf, Easy Pacific Surf, Mine, ...
    store.m_noiseSettings.m_savedSelection = 3;
    EXPECT_EQ(ChooseNoiseSetting(store, std::nullopt).name, "Mine");
    store.m_noiseSettings.m_savedSelection = -1;
    EXPECT_EQ(ChooseNoiseSetting(store, std::nullopt).name, "Easy Bay Surf");
    store.m_noiseSettings.m_savedSelection = 9;
    EXPECT_EQ(ChooseNoiseSetting(store, std::nullopt).name, "Easy Bay Surf") << "beyond the end: the first entry";
    store.m_fileSettings.m_savedSelection = 0;
    const auto nap = ChooseFileSetting(store, std::nullopt);
    EXPECT_EQ(nap.name, "Nap");
    EXPECT_EQ(nap.setting.fadeIn, 30);
}

}  // namespace
