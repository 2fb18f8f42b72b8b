// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/builtin_presets.h"
#include "settings/noise_extras.h"
#include "settings/settings_store.h"
#include "soundfile/sound_render.h"
#include "testing/param_name.h"
#include "testing/cli_copy.h"
#include "testing/temp_folder.h"

namespace {

// A copy of susurra-cli in a folder of its own, whose settings beside it
// hold "Notched Bay": white noise with a half-octave notch at 3000 Hz.
class CliNotchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CopyCliWithNoiseSetting(m_dir, SUSURRA_CLI, NoiseSetting{1, {}, 3000, 100.0, 20000.0, 0.0, 20.0, {}, {}}, "Notched Bay",
                                          NoiseExtras{false, true, 0.5}),
                  "");
    }
    int Render(const std::string& args)
    {
        return RunShell(m_dir, "'" + m_dir / "susurra-cli' render --quiet --length 00:00:06 --fade-in 0 --fade-out 0 " +
                                   args);
    }
    std::string Err() const { return ReadAll(m_dir / "err"); }
    std::string Quoted(const char* name) const { return " '" + m_dir / name + "'"; }
    std::string Library(const SoundValues& sound)
    {
        CNoiseSynth synth;
        MakeSignal(synth, sound);
        CWaveWriter writer;
        EXPECT_TRUE(writer.SetFileName(m_dir / "library.wav"));
        EXPECT_TRUE(WriteSoundFile(writer, synth, sound, FileValues{0.0, 0.0, 6.0}));
        return ReadAll(m_dir / "library.wav");
    }

    CTempFolder m_dir;
};

TEST_F(CliNotchTest, options_and_setting_make_the_library_notched_file)
{
    SoundValues sound{White, 100.0, 20000.0, 3000, 0.0, 20.0};
    sound.notch = true;
    sound.notchWidthOctaves = 0.5;
    const std::string expected = Library(sound);
    ASSERT_EQ(Render("--noise-setting 'Notched Bay'" + Quoted("a.wav")), 0) << Err();
    EXPECT_TRUE(ReadAll(m_dir / "a.wav") == expected);
    ASSERT_EQ(Render("--type white --surf-strength 0 --tinnitus-freq 3000 --notch --notch-width 0.5" + Quoted("b.wav")),
              0)
        << Err();
    EXPECT_TRUE(ReadAll(m_dir / "b.wav") == expected);

    sound.notch = false;
    ASSERT_EQ(Render("--noise-setting 'Notched Bay' --no-notch" + Quoted("c.wav")), 0) << Err();
    EXPECT_TRUE(ReadAll(m_dir / "c.wav") == Library(sound));
}

struct NotchRefusal
{
    std::string name;
    std::string args;
    std::string message;
};

class CliNotchRefusal : public CliNotchTest, public ::testing::WithParamInterface<NotchRefusal>
{
};

TEST_P(CliNotchRefusal, refuses_with_status_2_and_writes_nothing)
{
    EXPECT_EQ(Render(GetParam().args + Quoted("x.wav")), 2);
    EXPECT_EQ(Err(), "susurra-cli: " + GetParam().message + "\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "x.wav"));
}

INSTANTIATE_TEST_SUITE_P(
    Bad, CliNotchRefusal,
    ::testing::Values(NotchRefusal{"notch on the tone", "--type tinnitus --notch",
                                   "--notch: the tone has no notch; choose physiological, white or pink noise."},
                      NotchRefusal{"width of two octaves", "--notch --notch-width 2",
                                   "--notch-width: Please choose 0.5 or 1 (octaves)."},
                      NotchRefusal{"width not a number", "--notch-width=half",
                                   "--notch-width: Please choose 0.5 or 1 (octaves)."}),
    RowName());

}  // namespace
