// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <span>
#include <string>

#include "synth/hearing_check.h"
#include "testing/param_name.h"
#include "testing/sound_level.h"

namespace
{

// A listener's hidden thresholds per frequency, in dBFS.
using Audiogram = std::map<int, int>;

struct ListenerRow
{
    std::string name;
    Audiogram left;
    Audiogram right;
    int wrongEvery = 0; // every so many answers is turned round; 0 never
    int toleranceDb = 5;
};

void PrintTo(const ListenerRow& row, std::ostream* out)
{
    *out << row.name;
}

// Typical shapes: flat, a high-frequency loss, a notch at 4 kHz, a very
// quiet device (near the floor) and a loud one (near the ceiling).
const Audiogram kFlat = {{250, -60},  {500, -62},  {1000, -63}, {2000, -61}, {3000, -60},
                         {4000, -58}, {6000, -57}, {8000, -55}, {12000, -50}};
const Audiogram kSloping = {{250, -70},  {500, -68},  {1000, -64}, {2000, -55}, {3000, -48},
                            {4000, -41}, {6000, -33}, {8000, -27}, {12000, -21}};
const Audiogram kNotch = {{250, -66},  {500, -66},  {1000, -63}, {2000, -57}, {3000, -44},
                          {4000, -34}, {6000, -46}, {8000, -52}, {12000, -47}};
const Audiogram kQuiet = {{250, -83},  {500, -88},  {1000, -86}, {2000, -87}, {3000, -84},
                          {4000, -86}, {6000, -81}, {8000, -79}, {12000, -73}};
const Audiogram kLoud = {{250, -24},  {500, -29},  {1000, -31}, {2000, -27}, {3000, -22},
                         {4000, -18}, {6000, -16}, {8000, -14}, {12000, -13}};

class HearingCheckListener : public testing::TestWithParam<ListenerRow>
{};

TEST_P(HearingCheckListener, ends_near_every_hidden_threshold)
{
    const ListenerRow& row = GetParam();
    CHearingCheck check({HearingEar::Left, HearingEar::Right}, true);
    int answers = 0;
    int most = 0;
    while (!check.Done() && answers < 1000)
    {
        const CHearingCheck::Tone tone = check.CurrentTone();
        const Audiogram& ear = tone.ear == HearingEar::Left ? row.left : row.right;
        bool heard = tone.levelDb >= ear.at(tone.frequencyHz);
        ++answers;
        if (row.wrongEvery > 0 && answers % row.wrongEvery == 0)
            heard = !heard;
        most = std::max(most, check.AnswersHere() + 1);
        check.Answer(heard);
    }
    ASSERT_TRUE(check.Done());
    ASSERT_EQ(check.Thresholds().size(), 18u);
    for (const HearingThreshold& t : check.Thresholds())
    {
        const Audiogram& ear = t.ear == HearingEar::Left ? row.left : row.right;
        const int hidden = ear.at(t.frequencyHz);
        EXPECT_TRUE(t.heard) << t.frequencyHz;
        EXPECT_LE(std::abs(t.levelDb - hidden), row.toleranceDb)
            << HearingEarName(t.ear) << " " << t.frequencyHz << " Hz: found " << t.levelDb << ", hidden " << hidden;
    }
    if (row.wrongEvery == 0)
    {
        EXPECT_LE(most, 12) << "answers at one frequency";
    }
}

INSTANTIATE_TEST_SUITE_P(Listeners, HearingCheckListener,
                         testing::Values(ListenerRow{"flat", kFlat, kFlat},
                                         ListenerRow{"sloping_left_flat_right", kSloping, kFlat},
                                         ListenerRow{"notch_left_sloping_right", kNotch, kSloping},
                                         ListenerRow{"quiet_device", kQuiet, kQuiet},
                                         ListenerRow{"loud_thresholds", kLoud, kLoud},
                                         ListenerRow{"flat_one_wrong_in_ten", kFlat, kFlat, 10, 10},
                                         ListenerRow{"sloping_one_wrong_in_ten", kSloping, kNotch, 10, 10},
                                         ListenerRow{"quiet_one_wrong_in_ten_from_third", kQuiet, kLoud, 10, 10},
                                         ListenerRow{"loud_one_wrong_in_ten", kLoud, kSloping, 10, 10}),
                         [](const auto& info) { return info.param.name; });

// Where the one-wrong-in-ten listener's count starts, so that the wrong
// answer falls on every step of a run in one row or another.
class HearingCheckSlip : public testing::TestWithParam<int>
{};

TEST_P(HearingCheckSlip, one_wrong_answer_in_ten_stays_within_10_db)
{
    CHearingCheck check({HearingEar::Both});
    int answers = GetParam();
    while (!check.Done())
    {
        const CHearingCheck::Tone tone = check.CurrentTone();
        bool heard = tone.levelDb >= kNotch.at(tone.frequencyHz);
        if (++answers % 10 == 0)
            heard = !heard;
        check.Answer(heard);
    }
    for (const HearingThreshold& t : check.Thresholds())
        EXPECT_LE(std::abs(t.levelDb - kNotch.at(t.frequencyHz)), 10) << t.frequencyHz << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Offsets, HearingCheckSlip, testing::Range(0, 10),
                         [](const auto& info) { return "offset_" + std::to_string(info.param); });

// Whatever the answers: never above -10 dBFS in the samples, never a step
// up of more than 5 dB from one tone to the next, and the first tone quiet.
class HearingCheckSafety : public testing::TestWithParam<unsigned>
{};

TEST_P(HearingCheckSafety, no_tone_above_minus_10_dbfs_nor_a_jump_up)
{
    std::mt19937 random(GetParam());
    CHearingCheck check({HearingEar::Left, HearingEar::Right, HearingEar::Both}, true);
    const double ceiling = 32767.0 * std::pow(10.0, -10.0 / 20.0);
    int previous = check.CurrentTone().levelDb;
    EXPECT_LE(previous, -40);
    int tones = 0;
    while (!check.Done() && tones < 2000)
    {
        const CHearingCheck::Tone tone = check.CurrentTone();
        EXPECT_LE(tone.levelDb, -10);
        EXPECT_LE(tone.levelDb, previous + 5) << "tone " << tones;
        previous = tone.levelDb;
        if (tones % 7 == 0)
        {
            EXPECT_LE(Peak(RenderHearingTone(tone)), ceiling) << tone.levelDb << " dB";
        }
        // Mostly "not heard", which drives the level up as hard as it goes.
        check.Answer(random() % 8 == 0);
        ++tones;
    }
    EXPECT_TRUE(check.Done());
}

INSTANTIATE_TEST_SUITE_P(Seeds, HearingCheckSafety, testing::Values(1u, 2u, 3u, 4u),
                         [](const auto& info) { return "seed_" + std::to_string(info.param); });

TEST(HearingCheck, never_heard_ends_each_frequency_as_not_heard_at_the_ceiling)
{
    CHearingCheck check({HearingEar::Right});
    while (!check.Done())
        check.Answer(false);
    ASSERT_EQ(check.Thresholds().size(), 8u);
    for (const HearingThreshold& t : check.Thresholds())
    {
        EXPECT_FALSE(t.heard);
        EXPECT_EQ(t.levelDb, -10);
        EXPECT_EQ(t.ear, HearingEar::Right);
    }
}

TEST(HearingCheck, tone_is_three_pulses_at_the_level)
{
    const std::vector<int16_t> samples = RenderHearingTone({1000, -20, HearingEar::Both});
    // 3 x (0.25 s tone + 0.2 s gap) at 44100 Hz.
    ASSERT_EQ(samples.size(), 3u * (11025u + 8820u));
    EXPECT_EQ(Peak(std::span(samples.data(), 11025)), static_cast<int>(std::floor(32767.0 * 0.1)));
    EXPECT_EQ(Peak(std::span(samples.data() + 11025, 8820)), 0) << "the gap";
}

} // namespace
