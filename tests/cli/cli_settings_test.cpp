// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "settings/builtin_presets.h"
#include "settings/noise_extras.h"
#include "settings/settings_store.h"
#include "tests/cli/cli_fixture.h"
#include "testing/file_compare.h"

namespace
{

// Runs a copy of susurra-cli whose settings files beside it hold "Mine", a
// 7000 Hz tone, selected; "Endless Bay", "Easy Bay Surf" with Endless on;
// "Notched Bay", white noise with a half-octave notch at 3000 Hz; and the
// file setting "Nap" with a file name.
class CliSettingsTest : public CCliTest
{
protected:
    void SetUp() override
    {
        UseOwnCopy();
        m_store.SetUp();
        StoreNoise(7, {3, {}, 7000, 20.0, 20.0, 50.0, 1.0, {}, {}}, "Mine");
        StoreNoise(8, {2, {}, 440, 100.0, 20000.0, 30.0, 20.0, {}, {}}, "Endless Bay", {true, false, 0.0});
        StoreNoise(9, {1, {}, 3000, 100.0, 20000.0, 0.0, 20.0, {}, {}}, "Notched Bay", {false, true, 0.5});
        StoreFileName(StoreFile({1, 0, 0, 0, 2, {}, {}, {}}, "Nap").fileName, m_dir / "nap.wav");
        Save(3, 1);
    }
    void StoreNoise(int slot, NoiseSetting setting, const char* name, const NoiseExtras& extras = {})
    {
        StoreName(setting.name, name);
        WriteNoiseExtras(setting, extras);
        m_store.m_noiseSettings.m_slots[slot] = setting;
    }
    // The one stored file setting.
    FileSetting& StoreFile(FileSetting setting, const char* name)
    {
        StoreName(setting.name, name);
        return m_store.m_fileSettings.m_slots[1] = setting;
    }
    // Writes both files, with the selections at start as positions in the lists.
    void Save(int noise, int file)
    {
        ASSERT_TRUE(m_store.SaveSettingsFile(SettingsKind::Noise, noise));
        ASSERT_TRUE(m_store.SaveSettingsFile(SettingsKind::File, file));
    }

    CSettingsStore m_store{m_dir.Path()};
};

TEST_F(CliSettingsTest, ListsBothListsInOrderWithTheSelectionsAndTheFolder)
{
    ASSERT_EQ(Run("settings"), 0) << Err();
    EXPECT_EQ(
        Out(),
        InFolder("Settings folder: {dir} (beside the program)\n"
                 "  ns.srx: 3 stored settings\n"
                 "  fs.srx: 1 stored setting\n"
                 "\n"
                 "Noise settings (* selected at start):\n"
                 "  Easy Bay Surf                  pink          100 - 20000 Hz, surf 30 % every 20 s  [built-in]\n"
                 "  Easy Pacific Surf              pink          100 - 20000 Hz, surf 30 % every 30 s  [built-in]\n"
                 "  Endless Bay                    pink          100 - 20000 Hz, surf 30 % every 20 s\n"
                 "* Mine                           tinnitus      7000 Hz tone, surf 50 % every 1 s\n"
                 "  Notched Bay                    white         100 - 20000 Hz\n"
                 "  Rainforest Waterfall           physiological 100 - 20000 Hz  [built-in]\n"
                 "  Standard Physiological Noise   physiological 100 - 20000 Hz  [built-in]\n"
                 "  Strong Bay Surf                pink          100 - 20000 Hz, surf 40 % every 20 s  [built-in]\n"
                 "  Strong Pacific Surf            pink          100 - 20000 Hz, surf 40 % every 30 s  [built-in]\n"
                 "  Wideband White Noise           white         100 - 20000 Hz  [built-in]\n"
                 "\n"
                 "File settings (* selected at start):\n"
                 "  Nap                            fade in 1 s, fade out 0 s, 0:00:02, file {dir}nap.wav\n"
                 "* Standard CD                    fade in 10 s, fade out 10 s, 1:19:00, no file name  [built-in]\n"));
}

TEST_F(CliSettingsTest, RenderStartsFromTheChosenSettingsAndOptionsOverrideThem)
{
    // Default: the saved selections, "Mine" and "Standard CD".
    ASSERT_EQ(Run("render --length 00:00:02 --fade-in 1 '{dir}default.wav'"), 0) << Err();
    ASSERT_EQ(Run("render --type tinnitus --tinnitus-freq 7000 --surf-strength 50 --surf-period 1 "
                  "--length 00:00:02 --fade-in 1 --fade-out 10 '{dir}explicit.wav'"),
              0);
    EXPECT_TRUE(SameBytes(File("default.wav"), File("explicit.wav")));

    // A named file setting supplies OUTPUT, fades and length.
    ASSERT_EQ(Run("render --file-setting Nap --noise-setting Mine --tinnitus-freq 500"), 0) << Err();
    ASSERT_EQ(Run("render --type tinnitus --tinnitus-freq 500 --surf-strength 50 --surf-period 1 "
                  "--length 00:00:02 --fade-in 1 --fade-out 0 '{dir}explicit.wav'"),
              0);
    EXPECT_EQ(File("nap.wav").size(), 44u + 2u * 2u * 44100u);
    EXPECT_TRUE(SameBytes(File("nap.wav"), File("explicit.wav")));

    EXPECT_EQ(Run("render --file-setting nap '{dir}x.wav'"), 2);
    EXPECT_EQ(Err(), "susurra-cli: there is no file setting named \"nap\"; the file settings are:\n"
                     "  Nap\n  Standard CD\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "x.wav"));
}

TEST_F(CliSettingsTest, ADamagedSelectedSettingBlocksOnlyTheValuesTakenFromIt)
{
    // Selected at start: "Bad" with a frequency and a time no window accepts.
    StoreNoise(7, {2, {}, 440, 5.0, 20000.0, 30.0, 20.0, {}, {}}, "Bad");
    StoreFile({5000, 5000, -1, -1, -1, {}, {}, {}}, "Bad");
    Save(0, 0);

    const std::string render = "render --fade-in 0 --fade-out 0 '{dir}x.wav' ";
    EXPECT_EQ(Run(render + "--lower 100 --length 00:00:01"), 0) << Err();
    EXPECT_EQ(Run(render + "--lower 100"), 2);
    EXPECT_EQ(Err(), "susurra-cli: the file setting \"Bad\" holds a value the window refuses.\n"
                     "susurra-cli: --length: its total playing time is not a valid length.\n");
    EXPECT_EQ(Run(render + "--length 00:00:01"), 2);
    EXPECT_EQ(Err(), "susurra-cli: --lower: Please enter a number between 20 and 20000.\n"
                     "susurra-cli: the noise setting \"Bad\" holds a value the window refuses.\n");
}

TEST_F(CliSettingsTest, StoredNamesArePrintedWithTheirControlCharactersEscaped)
{
    StoreNoise(7, {2, {}, 440, 100.0, 20000.0, 0.0, 20.0, {}, {}}, "Evil\x1b]0;owned\x07");
    Save(0, 1);
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
    ASSERT_EQ(RunShell(m_dir, "timeout 20 " + Command("render --length 00:00:01 '{dir}x.wav'")), 0) << Err();
    EXPECT_EQ(Err(), InFolder("susurra-cli: warning: I can't read {dir}fs.srx: it is not a regular file\n"));
}

TEST_F(CliSettingsTest, AnEmptyFrequencyRangeIsWrittenWithAWarning)
{
    ASSERT_EQ(Run("render --type pink --lower 5000 --upper 400 --length 00:00:01 '{dir}x.wav'"), 0);
    EXPECT_EQ(Err(), "susurra-cli: warning: the lower frequency 5000 Hz is above the upper 400 Hz, so the file "
                     "will be silent.\n");
}

TEST_F(CliSettingsTest, AnEndlessFileComesBackFromItsSeedAndTheSettingBringsEndlessAlong)
{
    const std::string bay = "render --length 00:00:08 --noise-setting 'Easy Bay Surf' ";
    ASSERT_EQ(Run(bay + "--endless '{dir}a.wav'"), 0) << Err();
    std::smatch seed;
    const std::string err = Err();
    ASSERT_TRUE(std::regex_match(err, seed, std::regex("susurra-cli: seed ([0-9]+)\n"))) << err;
    ASSERT_EQ(Run(bay + "--endless --quiet --seed " + seed[1].str() + " '{dir}b.wav'"), 0) << Err();
    EXPECT_EQ(Err(), "");
    EXPECT_TRUE(SameBytes(File("a.wav"), File("b.wav")));
    ASSERT_EQ(Run(bay + "--endless '{dir}c.wav'"), 0) << Err();
    EXPECT_NE(Err(), err) << "another run, another seed";
    EXPECT_FALSE(File("a.wav") == File("c.wav"));

    ASSERT_EQ(Run(bay + "--endless --seed 18446744073709551615 '{dir}d.wav'"), 0) << Err();
    EXPECT_EQ(Err(), "susurra-cli: seed 18446744073709551615\n");
    EXPECT_EQ(File("d.wav").size(), 44u + 2u * 8u * 44100u);
    ASSERT_EQ(Run(bay + "--noise-setting 'Endless Bay' --seed 18446744073709551615 '{dir}e.wav'"), 0) << Err();
    EXPECT_TRUE(SameBytes(File("d.wav"), File("e.wav"))) << "the setting brings endless along";
    ASSERT_EQ(Run(bay + "--noise-setting 'Endless Bay' --no-endless '{dir}f.wav'"), 0) << Err();
    ASSERT_EQ(Run(bay + "'{dir}g.wav'"), 0) << Err();
    EXPECT_TRUE(SameBytes(File("f.wav"), File("g.wav"))) << "--no-endless: the repeated period";
}

TEST_F(CliSettingsTest, NotchOptionsAndSettingMakeTheWindowsNotchedFile)
{
    const std::string render = "render --quiet --length 00:00:06 --fade-in 0 --fade-out 0 ";
    const std::string notched = LibraryFile(White, 3000.0, 6.0, 0.0, 20.0, 0.0, 0.0, NotchBand{true, 3000.0, 0.5});
    ASSERT_EQ(Run(render + "--noise-setting 'Notched Bay' '{dir}a.wav'"), 0) << Err();
    EXPECT_TRUE(SameBytes(File("a.wav"), notched));
    ASSERT_EQ(Run(render
                  + "--type white --lower 100 --upper 20000 --surf-strength 0 --tinnitus-freq 3000 --notch "
                    "--notch-width 0.5 '{dir}b.wav'"),
              0)
        << Err();
    EXPECT_TRUE(SameBytes(File("b.wav"), notched));
    ASSERT_EQ(Run(render + "--noise-setting 'Notched Bay' --no-notch '{dir}c.wav'"), 0) << Err();
    EXPECT_TRUE(SameBytes(File("c.wav"), LibraryFile(White, 3000.0, 6.0, 0.0, 20.0, 0.0, 0.0)));
}

TEST_F(CliSettingsTest, ABrownSettingIsListedAsBrownAndRendersBrown)
{
    // Stored as the window stores it: pink in the type field, the brown flag beside it.
    StoreNoise(10, {2, {}, 440, 100.0, 20000.0, 0.0, 20.0, {}, {}}, "Deep", {false, false, 0.0, true});
    Save(3, 1);
    ASSERT_EQ(Run("settings"), 0) << Err();
    EXPECT_NE(Out().find("  Deep                           brown         100 - 20000 Hz\n"), std::string::npos)
        << Out();
    const std::string render = "render --quiet --length 00:00:06 --fade-in 0 --fade-out 0 ";
    ASSERT_EQ(Run(render + "--noise-setting Deep '{dir}a.wav'"), 0) << Err();
    EXPECT_TRUE(SameBytes(File("a.wav"), LibraryFile(Brown, 440.0, 6.0, 0.0, 20.0, 0.0, 0.0)));
    ASSERT_EQ(Run(render + "--noise-setting Deep --type pink '{dir}b.wav'"), 0) << Err();
    EXPECT_TRUE(SameBytes(File("b.wav"), LibraryFile(Pink, 440.0, 6.0, 0.0, 20.0, 0.0, 0.0)));
}

} // namespace
