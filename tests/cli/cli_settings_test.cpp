#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/builtin_presets.h"
#include "settings/settings_store.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a copy of susurra-cli in a folder of its own, so that the settings
// files beside it belong to the test.
class CliSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("cli_settings_test_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
        fs::copy_file(SUSURRA_CLI, m_dir / "susurra-cli");

        // One stored noise setting, "Mine", a 7000 Hz tone, selected (list
        // position 2); one file setting, "Nap", with a file name.
        CSettingsStore store(m_dir.string() + "/");
        store.SetUp();
        NoiseSetting& mine = store.m_noiseSettings.m_slots[7];
        StoreName(mine.name, "Mine");
        mine.noiseType = 3;
        mine.tinnitusFrequency = 7000;
        mine.lowerLimit = mine.upperLimit = 20.0;
        mine.surfStrength = 50.0;
        mine.surfPeriod = 1.0;
        FileSetting& nap = store.m_fileSettings.m_slots[1];
        StoreName(nap.name, "Nap");
        nap.fadeIn = 1;
        nap.fadeOut = 0;
        nap.seconds = 2;
        StoreFileName(nap.fileName, (m_dir / "nap.wav").string());
        ASSERT_EQ(store.SaveSettingsFile(SettingsKind::Noise, 2), "");
        ASSERT_EQ(store.SaveSettingsFile(SettingsKind::File, 1), "");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    int Run(const std::string& args)
    {
        const std::string command = "'" + (m_dir / "susurra-cli").string() + "' " + args + " > '" +
            (m_dir / "stdout").string() + "' 2> '" + (m_dir / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Out() const { return ReadAll(m_dir / "stdout"); }
    std::string Err() const { return ReadAll(m_dir / "stderr"); }
    std::string Path(const char* name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

TEST_F(CliSettingsTest, ListsBothListsInOrderWithTheSelectionsAndTheFolder)
{
    ASSERT_EQ(Run("settings"), 0) << Err();
    EXPECT_EQ(Out(),
        "Settings folder: " + m_dir.string() + "/ (beside the program)\n"
        "  ns.srx: 1 stored setting\n"
        "  fs.srx: 1 stored setting\n"
        "\n"
        "Noise settings (* selected at start):\n"
        "  Easy Bay Surf                  pink          100 - 20000 Hz, surf 30 % every 20 s  [built-in]\n"
        "  Easy Pacific Surf              pink          100 - 20000 Hz, surf 30 % every 30 s  [built-in]\n"
        "* Mine                           tinnitus      7000 Hz tone, surf 50 % every 1 s\n"
        "  Rainforest Waterfall           physiological 100 - 20000 Hz  [built-in]\n"
        "  Standard Physiological Noise   physiological 100 - 20000 Hz  [built-in]\n"
        "  Strong Bay Surf                pink          100 - 20000 Hz, surf 40 % every 20 s  [built-in]\n"
        "  Strong Pacific Surf            pink          100 - 20000 Hz, surf 40 % every 30 s  [built-in]\n"
        "  Wideband White Noise           white         100 - 20000 Hz  [built-in]\n"
        "\n"
        "File settings (* selected at start):\n"
        "  Nap                            fade in 1 s, fade out 0 s, 0:00:02, file " + Path("nap.wav") + "\n"
        "* Standard CD                    fade in 10 s, fade out 10 s, 1:19:00, no file name  [built-in]\n");
}

TEST_F(CliSettingsTest, RenderStartsFromTheChosenSettingsAndOptionsOverrideThem)
{
    // Default: the saved selections, "Mine" and "Standard CD" (position 1).
    ASSERT_EQ(Run("render --length 00:00:02 --fade-in 1 '" + Path("default.wav") + "'"), 0) << Err();
    ASSERT_EQ(Run("render --type tinnitus --tinnitus-freq 7000 --surf-strength 50 --surf-period 1 "
                  "--length 00:00:02 --fade-in 1 --fade-out 10 '" + Path("explicit.wav") + "'"), 0);
    EXPECT_TRUE(ReadAll(Path("default.wav")) == ReadAll(Path("explicit.wav")));

    // A named file setting supplies OUTPUT, fades and length.
    ASSERT_EQ(Run("render --file-setting Nap --noise-setting Mine --tinnitus-freq 500"), 0) << Err();
    ASSERT_EQ(Run("render --type tinnitus --tinnitus-freq 500 --surf-strength 50 --surf-period 1 "
                  "--length 00:00:02 --fade-in 1 --fade-out 0 '" + Path("explicit.wav") + "'"), 0);
    EXPECT_EQ(ReadAll(Path("nap.wav")).size(), 44u + 2u * 2u * 44100u);
    EXPECT_TRUE(ReadAll(Path("nap.wav")) == ReadAll(Path("explicit.wav")));
}

TEST_F(CliSettingsTest, UnknownSettingNameIsRefusedWithTheNamesThereAre)
{
    EXPECT_EQ(Run("render --file-setting nap '" + Path("x.wav") + "'"), 2);
    EXPECT_EQ(Err(), "susurra-cli: there is no file setting named \"nap\"; the file settings are:\n"
                     "  Nap\n  Standard CD\n");
    EXPECT_FALSE(fs::exists(Path("x.wav")));
}

}  // namespace
