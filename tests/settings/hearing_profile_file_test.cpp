// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>

#include "settings/hearing_profile_file.h"
#include "testing/temp_folder.h"

namespace
{

const HearingProfile kProfile = {"2026-12-08",
                                 "Built-in Audio\nAnalog",
                                 {{HearingEar::Left, 1000, -45, true},
                                  {HearingEar::Left, 250, -90, true},
                                  {HearingEar::Right, 8000, -10, false},
                                  {HearingEar::Both, 12000, -15, true}}};

// The file's bytes, written out by hand.
const char kGolden[] = "# Susurra hearing check: the quietest level heard, in dB of the device's full scale.\n"
                       "# Not a clinical audiogram: it has no absolute calibration.\n"
                       "date=2026-12-08\n"
                       "device=Built-in Audio Analog\n"
                       "left 1000=-45\n"
                       "left 250=-90\n"
                       "right 8000=not heard\n"
                       "both 12000=-15\n";

TEST(HearingProfileFile, round_trip_writes_the_golden_bytes_and_reads_them_back)
{
    CTempFolder folder;
    ASSERT_TRUE(SaveHearingProfile(folder / "sub/", kProfile).Ok());
    EXPECT_EQ(ReadAll(folder / "sub/hearing.ini"), kGolden);
    const HearingProfileLoad load = LoadHearingProfile(folder / "sub/");
    ASSERT_EQ(load.state, HearingProfileLoad::State::Loaded) << load.problem;
    HearingProfile expected = kProfile;
    expected.device = "Built-in Audio Analog";
    EXPECT_EQ(load.profile, expected);
}

TEST(HearingProfileFile, missing_file_is_no_profile_and_clear_removes_it)
{
    CTempFolder folder;
    EXPECT_EQ(LoadHearingProfile(folder.Path()).state, HearingProfileLoad::State::Missing);
    EXPECT_TRUE(ClearHearingProfile(folder.Path()).Ok()) << "nothing to clear is fine";
    ASSERT_TRUE(SaveHearingProfile(folder.Path(), kProfile).Ok());
    ASSERT_TRUE(ClearHearingProfile(folder.Path()).Ok());
    EXPECT_EQ(LoadHearingProfile(folder.Path()).state, HearingProfileLoad::State::Missing);
}

struct DamageRow
{
    std::string name;
    std::string text;
    std::string problem;
};

void PrintTo(const DamageRow& row, std::ostream* out)
{
    *out << row.name;
}

class HearingProfileDamage : public testing::TestWithParam<DamageRow>
{};

TEST_P(HearingProfileDamage, is_told_and_the_file_left_as_it_is)
{
    CTempFolder folder;
    std::ofstream(folder / "hearing.ini", std::ios::binary) << GetParam().text;
    const HearingProfileLoad load = LoadHearingProfile(folder.Path());
    EXPECT_EQ(load.state, HearingProfileLoad::State::Damaged);
    EXPECT_EQ(load.problem, GetParam().problem);
    EXPECT_TRUE(load.profile.thresholds.empty()) << "nothing half read is used";
    EXPECT_EQ(ReadAll(folder / "hearing.ini"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HearingProfileDamage,
    testing::Values(DamageRow{"no_equals", "date=2026-01-02\nleft 1000 -40\n", "line 2: no '=' in the line"},
                    DamageRow{"unknown_ear", "date=2026-01-02\nmiddle 1000=-40\n",
                              "line 2: unknown entry 'middle 1000'"},
                    DamageRow{"unknown_key", "date=2026-01-02\nvolume=3\n", "line 2: unknown entry 'volume'"},
                    DamageRow{"odd_frequency", "date=2026-01-02\nleft 1001=-40\n",
                              "line 2: no frequency of the hearing check in 'left 1001'"},
                    DamageRow{"level_too_loud", "date=2026-01-02\nleft 1000=-5\n",
                              "line 2: the level '-5' is not a whole number from -90 to -10"},
                    DamageRow{"level_too_quiet", "date=2026-01-02\nleft 1000=-95\n",
                              "line 2: the level '-95' is not a whole number from -90 to -10"},
                    DamageRow{"level_not_a_number", "date=2026-01-02\nleft 1000=-4x\n",
                              "line 2: the level '-4x' is not a whole number from -90 to -10"},
                    DamageRow{"repeated_entry", "date=2026-01-02\nleft 1000=-40\n\nleft 1000=-45\n",
                              "line 4: a second entry for 'left 1000'"},
                    DamageRow{"bad_date", "date=8.12.2026\nleft 1000=-40\n", "line 1: the date is not YYYY-MM-DD"},
                    DamageRow{"no_date", "left 1000=-40\n", "no date"},
                    DamageRow{"no_threshold", "# only a comment\ndate=2026-01-02\n", "no threshold"},
                    DamageRow{"too_large", "date=2026-01-02\n" + std::string(70000, '#') + "\n",
                              "the file is larger than a profile can be"}),
    [](const auto& info) { return info.param.name; });

} // namespace
