// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "testing/file_compare.h"
#include "testing/cli_copy.h"
#include "testing/temp_folder.h"
#include "settings/builtin_presets.h"
#include "settings/noise_extras.h"
#include "settings/settings_store.h"

namespace {

// A copy of susurra-cli in a folder of its own, whose settings beside it
// hold "Endless Bay": "Easy Bay Surf" with Endless on.
class CliEndlessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CopyCliWithNoiseSetting(m_dir, SUSURRA_CLI, NoiseSetting{2, {}, 440, 100.0, 20000.0, 30.0, 20.0, {}, {}}, "Endless Bay",
                                          NoiseExtras{true, false, 0.0}),
                  "");
    }
    int Render(const std::string& args)
    {
        return RunShell(m_dir, "'" + m_dir / "susurra-cli' render --length 00:00:08 --noise-setting 'Easy Bay Surf' " +
                                   args);
    }
    std::string Err() const { return ReadAll(m_dir / "err"); }
    std::string Quoted(const char* name) const { return " '" + m_dir / name + "'"; }

    CTempFolder m_dir;
};

}  // namespace

TEST_F(CliEndlessTest, ASeedMakesTheSameFileAgainAndTheSettingBringsEndlessAlong)
{
    ASSERT_EQ(Render("--endless --seed 18446744073709551615" + Quoted("a.wav")), 0) << Err();
    EXPECT_EQ(Err(), "susurra-cli: seed 18446744073709551615\n");
    ASSERT_EQ(Render("--endless --seed 18446744073709551615 --quiet" + Quoted("b.wav")), 0) << Err();
    EXPECT_EQ(Err(), "");
    const std::string a = ReadAll(m_dir / "a.wav");
    EXPECT_EQ(a.size(), 44u + 2u * 8u * 44100u);
    EXPECT_TRUE(SameBytes(a, ReadAll(m_dir / "b.wav")));

    ASSERT_EQ(Render("--endless --seed 18446744073709551614" + Quoted("c.wav")), 0) << Err();
    EXPECT_FALSE(a == ReadAll(m_dir / "c.wav"));
    ASSERT_EQ(Render("--noise-setting 'Endless Bay' --seed 18446744073709551615" + Quoted("d.wav")), 0) << Err();
    EXPECT_TRUE(SameBytes(a, ReadAll(m_dir / "d.wav")));
    ASSERT_EQ(Render("--noise-setting 'Endless Bay' --no-endless" + Quoted("e.wav")), 0) << Err();
    ASSERT_EQ(Render(Quoted("f.wav")), 0) << Err();
    EXPECT_TRUE(SameBytes(ReadAll(m_dir / "e.wav"), ReadAll(m_dir / "f.wav"))) << "--no-endless: the repeated period";
}

TEST_F(CliEndlessTest, WithoutSeedARandomOneIsPrintedAndMakesTheSameFile)
{
    ASSERT_EQ(Render("--endless" + Quoted("a.wav")), 0) << Err();
    std::smatch match;
    const std::string err = Err();
    ASSERT_TRUE(std::regex_match(err, match, std::regex("susurra-cli: seed ([0-9]+)\n"))) << err;
    ASSERT_EQ(Render("--endless --seed " + match[1].str() + "" + Quoted("b.wav")), 0) << Err();
    EXPECT_TRUE(SameBytes(ReadAll(m_dir / "a.wav"), ReadAll(m_dir / "b.wav")));
    ASSERT_EQ(Render("--endless" + Quoted("c.wav")), 0) << Err();
    EXPECT_NE(Err(), err) << "another run, another seed";
}

struct BadSeed
{
    const char* name;
    const char* args;
    const char* message;
};

class CliEndlessRefusal : public CliEndlessTest, public ::testing::WithParamInterface<BadSeed>
{
};

TEST_P(CliEndlessRefusal, ExitsWithStatusTwoAndSaysWhy)
{
    EXPECT_EQ(Render(std::string(GetParam().args) + "" + Quoted("x.wav")), 2);
    EXPECT_EQ(Err(), std::string("susurra-cli: ") + GetParam().message + "\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "x.wav"));
}

const char kSeedRange[] = "--seed: Please enter a whole number between 0 and 18446744073709551615.";

INSTANTIATE_TEST_SUITE_P(
    Seeds, CliEndlessRefusal,
    ::testing::Values(BadSeed{"WithoutEndless", "--seed 5", "--seed: only endless noise has a seed; add --endless."},
                      BadSeed{"NotANumber", "--endless --seed abc", kSeedRange},
                      BadSeed{"Negative", "--endless --seed -1", kSeedRange},
                      BadSeed{"Fraction", "--endless --seed=1.5", kSeedRange},
                      BadSeed{"BeyondSixtyFourBits", "--endless --seed 18446744073709551616", kSeedRange},
                      BadSeed{"Empty", "--endless --seed=", kSeedRange}),
    [](const ::testing::TestParamInfo<BadSeed>& info) { return std::string(info.param.name); });
