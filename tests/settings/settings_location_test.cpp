// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_location.h"
#include "settings/settings_store.h"
#include "testing/param_name.h"
#include "testing/temp_folder.h"

namespace
{

// Root may write anywhere, so a read-only program folder is simulated.
SettingsEnvironment Environment(bool programFolderWritable, std::string programFolder = "/opt/susurra/")
{
    SettingsEnvironment e;
    e.programFolder = programFolder;
    e.home = "/home/ada";
    e.isWritable = [=](const std::string& folder) { return folder == programFolder ? programFolderWritable : true; };
    return e;
}

TEST(SettingsLocation, WritableProgramFolderHoldsTheSettingsUnlessItIsASystemFolder)
{
    EXPECT_EQ(ChooseSettingsFolder(Environment(true)), "/opt/susurra/");
    EXPECT_EQ(ChooseSettingsFolder(Environment(true, "")), "") << "the current folder";
    // An installed copy run by root must not put its files among the system's programs.
    EXPECT_EQ(ChooseSettingsFolder(Environment(true, "/usr/bin/")), "/home/ada/.config/susurra/");
}

TEST(SettingsLocation, AnInstalledLayoutKeepsTheSettingsInTheConfigurationFolder)
{
    CTempFolder prefix;
    std::filesystem::create_directories(prefix / "bin");
    SettingsEnvironment e = SettingsEnvironment::FromSystem();
    e.programFolder = prefix / "bin/";
    e.home = "/home/ada";
    e.xdgConfigHome.reset();
    EXPECT_EQ(ChooseSettingsFolder(e), prefix / "bin/") << "a bin folder of one's own";
    std::filesystem::create_directories(prefix / "share/susurra");
    EXPECT_EQ(ChooseSettingsFolder(e), "/home/ada/.config/susurra/") << "an install under a prefix";
}

namespace
{

struct FallbackRow
{
    const char* name;
    std::optional<std::string> xdg;
    std::optional<std::string> home;
    std::string expected;
};

using SettingsLocationFallback = ::testing::TestWithParam<FallbackRow>;

} // namespace

TEST_P(SettingsLocationFallback, ReadOnlyProgramFolderFallsBackToTheUsersConfigurationFolder)
{
    const FallbackRow& row = GetParam();
    SettingsEnvironment e = Environment(false);
    e.xdgConfigHome = row.xdg;
    e.home = row.home;
    EXPECT_EQ(ChooseSettingsFolder(e), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, SettingsLocationFallback,
    ::testing::Values(FallbackRow{"no XDG_CONFIG_HOME", std::nullopt, "/home/ada", "/home/ada/.config/susurra/"},
                      FallbackRow{"XDG_CONFIG_HOME set", "/srv/conf//", "/home/ada", "/srv/conf/susurra/"},
                      FallbackRow{"XDG_CONFIG_HOME empty", "", "/home/ada", "/home/ada/.config/susurra/"},
                      FallbackRow{"XDG_CONFIG_HOME relative is ignored", "conf", "/home/ada",
                                  "/home/ada/.config/susurra/"},
                      FallbackRow{"no home at all", std::nullopt, std::nullopt, "/opt/susurra/"}),
    RowName());

TEST(SettingsStore, FirstSaveCreatesTheConfigurationFolderAndTheFilesReadBack)
{
    CTempFolder temp;
    SettingsEnvironment e = Environment(false);
    e.xdgConfigHome = temp / "config"; // does not exist yet
    CSettingsStore store(ChooseSettingsFolder(e));
    store.SetUp();
    StoreName(store.m_noiseSettings.m_slots[7].name, "Evening");
    EXPECT_TRUE(store.SaveSettingsFile(SettingsKind::Noise, 1));
    EXPECT_EQ(FolderEntries(temp / "config/susurra/"), (std::vector<std::string>{"ns.srx"}));

    CSettingsStore next(store.m_folder);
    next.SetUp();
    EXPECT_EQ(next.LoadSettingsFile(SettingsKind::Noise).recordsKept, 1);
    EXPECT_EQ(next.m_noiseSettings.FindByName("Evening"), 7);
}

} // namespace
