// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

#include "synth/pitch_matcher.h"
#include "synth/tone_sequence.h"
#include "testing/param_name.h"

namespace {

double Semitones(double a, double b)
{
    return std::fabs(12.0 * std::log2(a / b));
}

// The answer of a listener who hears `target`: the sound nearest to it on a
// log scale, 1-based.
int Nearest(const std::vector<double>& sounds, double target)
{
    int best = 1;
    for (size_t i = 1; i < sounds.size(); ++i)
        if (Semitones(sounds[i], target) < Semitones(sounds[best - 1], target))
            best = static_cast<int>(i) + 1;
    return best;
}

struct MatchRun
{
    int answers = 0;   // bracketing and octave answers
    int result = 0;
};

// Drives the matcher to its end. bracketTarget is what the listener hears in
// the bracketing (an octave-confused listener hears the wrong octave); wrong
// says which bracketing answers (0-based) are turned round.
MatchRun Match(double target, double bracketTarget, const std::function<bool(int)>& wrong)
{
    CPitchMatcher matcher;
    EXPECT_EQ(matcher.Sounds(), std::vector<double>{1000.0});
    matcher.ConfirmLevel();
    MatchRun run;
    while (matcher.CurrentStep() == CPitchMatcher::Step::Bracket && run.answers < 100) {
        int answer = Nearest(matcher.Sounds(), bracketTarget);
        if (wrong(run.answers))
            answer = 3 - answer;
        EXPECT_TRUE(matcher.Answer(answer));
        ++run.answers;
    }
    EXPECT_EQ(matcher.CurrentStep(), CPitchMatcher::Step::Octave);
    EXPECT_TRUE(matcher.Answer(Nearest(matcher.Sounds(), target)));
    ++run.answers;
    EXPECT_EQ(matcher.CurrentStep(), CPitchMatcher::Step::Done);
    run.result = matcher.Result();
    return run;
}

class ConsistentListenerTest : public testing::TestWithParam<double>
{
};

TEST_P(ConsistentListenerTest, ends_within_a_semitone_in_at_most_15_answers)
{
    const double target = GetParam();
    const MatchRun run = Match(target, target, [](int) { return false; });
    EXPECT_LE(run.answers, 15);
    EXPECT_LE(Semitones(run.result, target), 1.0) << "result " << run.result << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Targets, ConsistentListenerTest, testing::Values(700.0, 5200.0, 11300.0, 250.0, 16000.0),
                         [](const auto& info) { return std::to_string(static_cast<int>(info.param)) + "Hz"; });

struct SlipRow
{
    std::string name;
    double target;
    int firstSlip;   // the first wrong answer; then every tenth
};

class SlippingListenerTest : public testing::TestWithParam<SlipRow>
{
};

TEST_P(SlippingListenerTest, one_wrong_answer_in_ten_still_ends_within_two_semitones)
{
    const SlipRow& row = GetParam();
    const MatchRun run = Match(row.target, row.target, [&](int i) { return i % 10 == row.firstSlip; });
    EXPECT_LE(Semitones(run.result, row.target), 2.0) << "result " << run.result << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Slips, SlippingListenerTest,
                         testing::Values(SlipRow{"700 Hz first answer", 700.0, 0},
                                         SlipRow{"700 Hz third answer", 700.0, 2},
                                         SlipRow{"5200 Hz second answer", 5200.0, 1},
                                         SlipRow{"5200 Hz fifth answer", 5200.0, 4},
                                         SlipRow{"11300 Hz first answer", 11300.0, 0},
                                         SlipRow{"11300 Hz fourth answer", 11300.0, 3},
                                         SlipRow{"2000 Hz sixth answer", 2000.0, 5},
                                         SlipRow{"440 Hz seventh answer", 440.0, 6}),
                         RowName());

struct OctaveRow
{
    std::string name;
    double target;
    double heard;
};

class OctaveConfusedListenerTest : public testing::TestWithParam<OctaveRow>
{
};

TEST_P(OctaveConfusedListenerTest, octave_check_corrects_the_bracketing)
{
    const OctaveRow& row = GetParam();
    const MatchRun run = Match(row.target, row.heard, [](int) { return false; });
    EXPECT_LE(Semitones(run.result, row.target), 1.0) << "result " << run.result << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Octaves, OctaveConfusedListenerTest,
                         testing::Values(OctaveRow{"heard an octave low", 6000.0, 3000.0},
                                         OctaveRow{"heard an octave high", 900.0, 1800.0}),
                         RowName());

// The range's width (as a ratio) after each bracketing answer.
std::vector<double> Widths(double target, int slip)
{
    CPitchMatcher matcher;
    matcher.ConfirmLevel();
    std::vector<double> widths;
    for (int i = 0; matcher.CurrentStep() == CPitchMatcher::Step::Bracket; ++i) {
        const int answer = Nearest(matcher.Sounds(), target);
        matcher.Answer(i == slip ? 3 - answer : answer);
        if (matcher.CurrentStep() == CPitchMatcher::Step::Bracket)
            widths.push_back(matcher.CurrentUpper() / matcher.CurrentLower());
    }
    return widths;
}

bool EverWidens(const std::vector<double>& widths)
{
    for (size_t i = 1; i < widths.size(); ++i)
        if (widths[i] > widths[i - 1])
            return true;
    return false;
}

TEST(PitchMatcherTest, answers_that_contradict_a_slip_widen_the_range_again)
{
    EXPECT_TRUE(EverWidens(Widths(3000.0, 3)));
}

TEST(PitchMatcherTest, range_limits_confine_the_first_question)
{
    CPitchMatcher matcher;
    EXPECT_FALSE(matcher.SetRange(19.0, 1000.0));
    EXPECT_FALSE(matcher.SetRange(500.0, 20001.0));
    EXPECT_FALSE(matcher.SetRange(800.0, 800.0));
    ASSERT_TRUE(matcher.SetRange(2000.0, 4000.0));
    matcher.ConfirmLevel();
    EXPECT_FALSE(matcher.SetRange(250.0, 16000.0));
    for (double hz : matcher.Sounds()) {
        EXPECT_GE(hz, 2000.0);
        EXPECT_LE(hz, 4000.0);
    }
}

TEST(PitchMatcherTest, answers_outside_the_choices_change_nothing)
{
    CPitchMatcher matcher;
    EXPECT_FALSE(matcher.Answer(1));
    matcher.ConfirmLevel();
    const std::vector<double> sounds = matcher.Sounds();
    EXPECT_FALSE(matcher.Answer(0));
    EXPECT_FALSE(matcher.Answer(3));
    EXPECT_EQ(matcher.Sounds(), sounds);
    EXPECT_EQ(matcher.BracketAnswers(), 0);
}

TEST(PitchMatcherTest, octave_choices_stay_within_the_audible_range)
{
    CPitchMatcher matcher;
    ASSERT_TRUE(matcher.SetRange(15000.0, 20000.0));
    matcher.ConfirmLevel();
    while (matcher.CurrentStep() == CPitchMatcher::Step::Bracket)
        matcher.Answer(2);
    const std::vector<double> sounds = matcher.Sounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_LE(sounds[0], 20000.0);
    EXPECT_DOUBLE_EQ(sounds[1], sounds[0] / 2.0);
}

TEST(ToneSequenceTest, tones_ramp_in_and_out_with_silence_between)
{
    const std::vector<int16_t> s = RenderToneSequence({1000.0, 2000.0});
    ASSERT_EQ(s.size(), 2u * (44100u + 22050u));
    // The 20 ms ramp: nothing near full level in its first millisecond.
    for (int i = 0; i < 44; ++i)
        EXPECT_LE(std::abs(s[i]), 30) << "sample " << i;
    for (int i = 44100 - 44; i < 44100; ++i)
        EXPECT_LE(std::abs(s[i]), 30) << "sample " << i;
    for (size_t i = 44100; i < 66150; ++i)
        ASSERT_EQ(s[i], 0) << "gap sample " << i;
    int peak = 0;
    for (int i = 882; i < 44100 - 882; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    EXPECT_EQ(peak, 3000);
}

}  // namespace
