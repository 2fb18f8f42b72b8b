#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <unistd.h>
#include <vector>

#include "settings/settings_location.h"
#include "settings/settings_store.h"
#include "settings/temp_folder.h"

namespace {

// Root may write anywhere, so a read-only program folder is simulated.
SettingsEnvironment Environment(bool programFolderWritable)
{
    SettingsEnvironment e;
    e.programFolder = "/usr/bin/";
    e.home = "/home/ada";
    e.isWritable = [programFolderWritable](const std::string& folder) {
        return folder == "/usr/bin/" ? programFolderWritable : true;
    };
    return e;
}

TEST(SettingsLocation, ReadOnlyProgramFolderFallsBackToTheUsersConfigurationFolder)
{
    EXPECT_EQ(ChooseSettingsFolder(Environment(true)), "/usr/bin/");
    const struct
    {
        const char* label;
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        std::string expected;
    } rows[] = {
        {"no XDG_CONFIG_HOME", std::nullopt, "/home/ada", "/home/ada/.config/susurra/"},
        {"XDG_CONFIG_HOME set", "/srv/conf//", "/home/ada", "/srv/conf/susurra/"},
        {"XDG_CONFIG_HOME empty", "", "/home/ada", "/home/ada/.config/susurra/"},
        {"XDG_CONFIG_HOME relative is ignored", "conf", "/home/ada", "/home/ada/.config/susurra/"},
        {"no home at all", std::nullopt, std::nullopt, "/usr/bin/"},
    };
    for (const auto& row : rows) {
        SettingsEnvironment e = Environment(false);
        e.xdgConfigHome = row.xdg;
        e.home = row.home;
        EXPECT_EQ(ChooseSettingsFolder(e), row.expected) << row.label;
    }

    // An empty program folder is the current folder.
    SettingsEnvironment e = Environment(false);
    e.programFolder = "";
    std::vector<std::string> asked;
    e.isWritable = [&asked](const std::string& folder) { asked.push_back(folder); return true; };
    EXPECT_EQ(ChooseSettingsFolder(e), "");
    EXPECT_EQ(asked, (std::vector<std::string>{""}));
}

TEST(SettingsLocation, ProgramFolderIsTheRunningProgramsFolderWithItsSlash)
{
    EXPECT_EQ(ProgramFolderOf("/opt/susurra/bin/susurra"), "/opt/susurra/bin/");
    EXPECT_EQ(ProgramFolderOf("susurra"), "");
    InitProgramFolder();
    char self[PATH_MAX] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    EXPECT_EQ(g_programFolder, ProgramFolderOf(self));
    EXPECT_EQ(g_programFolder.back(), '/');
}

TEST(SettingsStore, FirstSaveCreatesTheConfigurationFolderAndTheFilesReadBack)
{
    CTempFolder temp;
    SettingsEnvironment e = Environment(false);
    e.xdgConfigHome = temp.Path() + "config";  // does not exist yet
    CSettingsStore store(ChooseSettingsFolder(e));
    store.SetUp();
    StoreName(store.m_noiseSettings.m_slots[7].name, "Evening");
    StoreName(store.m_fileSettings.m_slots[1].name, "Nap");
    EXPECT_EQ(store.SaveSettingsFile(SettingsKind::Noise, 1), "");
    EXPECT_EQ(store.SaveSettingsFile(SettingsKind::File, 0), "");
    EXPECT_EQ(FolderEntries(temp.Path() + "config/susurra/"), (std::vector<std::string>{"fs.srx", "ns.srx"}));

    CSettingsStore next(store.m_folder);
    next.SetUp();
    EXPECT_EQ(next.LoadSettingsFile(SettingsKind::Noise).recordsKept, 1);
    EXPECT_EQ(next.LoadSettingsFile(SettingsKind::File).recordsKept, 1);
    EXPECT_EQ(next.m_noiseSettings.FindByName("Evening"), 7);
    EXPECT_EQ(next.m_noiseSettings.m_savedSelection, 1);
}

}  // namespace
