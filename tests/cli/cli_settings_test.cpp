// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "settings/builtin_presets.h"
#include "settings/settings_store.h"
#include "testing/file_compare.h"
#include "testing/temp_folder.h"

namespace {

// Runs a copy of susurra-cli in a folder of its own, so that the settings
// files beside it belong to the test.
class CliSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::copy_file(SUSURRA_CLI, m_dir / "susurra-cli");
        // One stored noise setting, "Mine", a 7000 Hz tone, selected (list
        // position 2); one file setting, "Nap", with a file name.
        CSettingsStore store(m_dir.Path());
        store.SetUp();
        store.m_noiseSettings.m_slots[7] = NoiseSetting{3, {}, 7000, 20.0, 20.0, 50.0, 1.0, {}, {}};
        StoreName(store.m_noiseSettings.m_slots[7].name, "Mine");
        FileSetting& nap = store.m_fileSettings.m_slots[1];
        nap = FileSetting{1, 0, 0, 0, 2, {}, {}, {}};
        StoreName(nap.name, "Nap");
        StoreFileName(nap.fileName, m_dir / "nap.wav");
        ASSERT_EQ(store.SaveSettingsFile(SettingsKind::Noise, 2), "");
        ASSERT_EQ(store.SaveSettingsFile(SettingsKind::File, 1), "");
    }
    int Run(const std::string& args) { return RunShell(m_dir, "'" + m_dir / "susurra-cli' " + args); }
    std::string Out() const { return ReadAll(m_dir / "out"); }
    std::string Err() const { return ReadAll(m_dir / "err"); }

    CTempFolder m_dir;
};

TEST_F(CliSettingsTest, ListsBothListsInOrderWithTheSelectionsAndTheFolder)
{
    ASSERT_EQ(Run("settings"), 0) << Err();
    EXPECT_EQ(Out(),
        "Settings folder: " + m_dir.Path() + " (beside the program)\n"
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
        "  Nap                            fade in 1 s, fade out 0 s, 0:00:02, file " + m_dir / "nap.wav" + "\n"
        "* Standard CD                    fade in 10 s, fade out 10 s, 1:19:00, no file name  [built-in]\n");
}

TEST_F(CliSettingsTest, RenderStartsFromTheChosenSettingsAndOptionsOverrideThem)
{
    // Default: the saved selections, "Mine" and "Standard CD" (position 1).
    ASSERT_EQ(Run("render --length 00:00:02 --fade-in 1 '" + m_dir / "default.wav'"), 0) << Err();
    ASSERT_EQ(Run("render --type tinnitus --tinnitus-freq 7000 --surf-strength 50 --surf-period 1 "
                  "--length 00:00:02 --fade-in 1 --fade-out 10 '" + m_dir / "explicit.wav'"), 0);
    EXPECT_TRUE(SameBytes(ReadAll(m_dir / "default.wav"), ReadAll(m_dir / "explicit.wav")));

    // A named file setting supplies OUTPUT, fades and length.
    ASSERT_EQ(Run("render --file-setting Nap --noise-setting Mine --tinnitus-freq 500"), 0) << Err();
    ASSERT_EQ(Run("render --type tinnitus --tinnitus-freq 500 --surf-strength 50 --surf-period 1 "
                  "--length 00:00:02 --fade-in 1 --fade-out 0 '" + m_dir / "explicit.wav'"), 0);
    EXPECT_EQ(ReadAll(m_dir / "nap.wav").size(), 44u + 2u * 2u * 44100u);
    EXPECT_TRUE(SameBytes(ReadAll(m_dir / "nap.wav"), ReadAll(m_dir / "explicit.wav")));

    EXPECT_EQ(Run("render --file-setting nap '" + m_dir / "x.wav'"), 2);
    EXPECT_EQ(Err(), "susurra-cli: there is no file setting named \"nap\"; the file settings are:\n"
                     "  Nap\n  Standard CD\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "x.wav"));
}

TEST_F(CliSettingsTest, ADamagedSelectedSettingBlocksOnlyTheValuesTakenFromIt)
{
    // Selected at start: "Bad" with a frequency and a time no window accepts.
    CSettingsStore store(m_dir.Path());
    store.SetUp();
    store.m_noiseSettings.m_slots[7] = NoiseSetting{2, {}, 440, 5.0, 20000.0, 30.0, 20.0, {}, {}};
    StoreName(store.m_noiseSettings.m_slots[7].name, "Bad");
    FileSetting& bad = store.m_fileSettings.m_slots[1];
    bad = FileSetting{5000, 5000, -1, -1, -1, {}, {}, {}};
    StoreName(bad.name, "Bad");
    ASSERT_EQ(store.SaveSettingsFile(SettingsKind::Noise, 0), "");
    ASSERT_EQ(store.SaveSettingsFile(SettingsKind::File, 0), "");

    EXPECT_EQ(Run("render --lower 100 --length 00:00:01 --fade-in 0 --fade-out 0 '" + m_dir / "x.wav'"), 0)
        << Err();
    EXPECT_EQ(Run("render --lower 100 --fade-in 0 --fade-out 0 '" + m_dir / "x.wav'"), 2);
    EXPECT_EQ(Err(), "susurra-cli: the file setting \"Bad\" holds a value the window refuses.\n"
                     "susurra-cli: --length: its total playing time is not a valid length.\n");
    EXPECT_EQ(Run("render --length 00:00:01 --fade-in 0 --fade-out 0 '" + m_dir / "x.wav'"), 2);
    EXPECT_EQ(Err(), "susurra-cli: --lower: Please enter a number between 20 and 20000.\n"
                     "susurra-cli: the noise setting \"Bad\" holds a value the window refuses.\n");
}

TEST_F(CliSettingsTest, StoredNamesArePrintedWithTheirControlCharactersEscaped)
{
    CSettingsStore store(m_dir.Path());
    store.SetUp();
    store.m_noiseSettings.m_slots[7] = NoiseSetting{2, {}, 440, 100.0, 20000.0, 0.0, 20.0, {}, {}};
    StoreName(store.m_noiseSettings.m_slots[7].name, "Evil\x1b]0;owned\x07");
    ASSERT_EQ(store.SaveSettingsFile(SettingsKind::Noise, 0), "");
    ASSERT_EQ(Run("settings"), 0) << Err();
    EXPECT_NE(Out().find("\n  Evil\\x1B]0;owned\\x07   "), std::string::npos) << Out();
    EXPECT_EQ(Out().find('\x1b'), std::string::npos);
    EXPECT_EQ(Run("render --noise-setting Nope"), 2);
    EXPECT_NE(Err().find("\n  Evil\\x1B]0;owned\\x07\n"), std::string::npos) << Err();
}

TEST_F(CliSettingsTest, APipeForASettingsFileIsNamedOnceAndSkipped)
{
    std::filesystem::remove(m_dir / "fs.srx");
    ASSERT_EQ(::mkfifo((m_dir / "fs.srx").c_str(), 0600), 0);
    // A blocking open would hang here; timeout turns that into a failure.
    ASSERT_EQ(RunShell(m_dir, "timeout 20 '" + m_dir / "susurra-cli' render --length 00:00:01 '" + m_dir / "x.wav'"),
              0) << Err();
    EXPECT_EQ(Err(), "susurra-cli: warning: I can't read " + m_dir / "fs.srx: it is not a regular file\n");
}

TEST_F(CliSettingsTest, AnEmptyFrequencyRangeIsWrittenWithAWarning)
{
    ASSERT_EQ(Run("render --type pink --lower 5000 --upper 400 --length 00:00:01 '" + m_dir / "x.wav'"), 0);
    EXPECT_EQ(Err(), "susurra-cli: warning: the lower frequency 5000 Hz is above the upper 400 Hz, so the file "
                     "will be silent.\n");
}

}  // namespace
