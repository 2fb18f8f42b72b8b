// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <span>
#include <string>

#include "synth/pitch_matcher.h"
#include "synth/tone_sequence.h"
#include "testing/param_name.h"
#include "testing/sound_level.h"

namespace
{

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
    int answers = 0; // bracketing and octave answers
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
    while (matcher.CurrentStep() == CPitchMatcher::Step::Bracket && run.answers < 100)
    {
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

struct ListenerRow
{
    std::string name;
    double target;
    double heard;     // what the listener hears in the bracketing: an octave off when confused
    int firstSlip;    // the first wrong answer, then every tenth; -1 for none
    double semitones; // how near the result must come
    int maxAnswers;
};

using ListenerTest = testing::TestWithParam<ListenerRow>;

TEST_P(ListenerTest, result_lies_near_the_target)
{
    const ListenerRow& row = GetParam();
    const MatchRun run = Match(row.target, row.heard, [&](int i) { return i % 10 == row.firstSlip; });
    EXPECT_LE(run.answers, row.maxAnswers);
    EXPECT_LE(Semitones(run.result, row.target), row.semitones) << "result " << run.result << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Listeners, ListenerTest,
                         testing::Values(ListenerRow{"consistent 700 Hz", 700.0, 700.0, -1, 1.0, 15},
                                         ListenerRow{"consistent 5200 Hz", 5200.0, 5200.0, -1, 1.0, 15},
                                         ListenerRow{"consistent 11300 Hz", 11300.0, 11300.0, -1, 1.0, 15},
                                         ListenerRow{"consistent 250 Hz", 250.0, 250.0, -1, 1.0, 15},
                                         ListenerRow{"consistent 16000 Hz", 16000.0, 16000.0, -1, 1.0, 15},
                                         ListenerRow{"700 Hz slip at first answer", 700.0, 700.0, 0, 2.0, 100},
                                         ListenerRow{"700 Hz slip at third answer", 700.0, 700.0, 2, 2.0, 100},
                                         ListenerRow{"5200 Hz slip at second answer", 5200.0, 5200.0, 1, 2.0, 100},
                                         ListenerRow{"5200 Hz slip at fifth answer", 5200.0, 5200.0, 4, 2.0, 100},
                                         ListenerRow{"11300 Hz slip at first answer", 11300.0, 11300.0, 0, 2.0, 100},
                                         ListenerRow{"11300 Hz slip at fourth answer", 11300.0, 11300.0, 3, 2.0, 100},
                                         ListenerRow{"2000 Hz slip at sixth answer", 2000.0, 2000.0, 5, 2.0, 100},
                                         ListenerRow{"440 Hz slip at seventh answer", 440.0, 440.0, 6, 2.0, 100},
                                         ListenerRow{"heard an octave low", 6000.0, 3000.0, -1, 1.0, 100},
                                         ListenerRow{"heard an octave high", 900.0, 1800.0, -1, 1.0, 100}),
                         RowName());

TEST(PitchMatcherTest, answers_that_contradict_a_slip_widen_the_range_again)
{
    CPitchMatcher matcher;
    matcher.ConfirmLevel();
    std::vector<double> widths; // the range's width as a ratio, after each bracketing answer
    for (int i = 0; matcher.CurrentStep() == CPitchMatcher::Step::Bracket; ++i)
    {
        const int answer = Nearest(matcher.Sounds(), 3000.0);
        matcher.Answer(i == 3 ? 3 - answer : answer);
        if (matcher.CurrentStep() == CPitchMatcher::Step::Bracket)
            widths.push_back(matcher.CurrentUpper() / matcher.CurrentLower());
    }
    EXPECT_NE(std::adjacent_find(widths.begin(), widths.end(), std::less<double>()), widths.end());
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
    for (double hz : matcher.Sounds())
    {
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

struct OctaveRow
{
    std::string name;
    double lower, upper; // the search range
    double target;       // what a consistent listener hears
    int answer;          // the octave step's answer
    size_t choices;      // how many tones the octave step plays
    double ratio;        // the result over the bracketing's match
};

using OctaveTest = testing::TestWithParam<OctaveRow>;

// The tones play as the match, the octave below, the octave above, leaving
// out those beyond 20..20000 Hz; each answer picks its own tone.
TEST_P(OctaveTest, answers_pick_the_match_or_the_octave_in_play_order)
{
    const OctaveRow& row = GetParam();
    CPitchMatcher matcher;
    ASSERT_TRUE(matcher.SetRange(row.lower, row.upper));
    matcher.ConfirmLevel();
    while (matcher.CurrentStep() == CPitchMatcher::Step::Bracket)
        matcher.Answer(Nearest(matcher.Sounds(), row.target));
    const std::vector<double> sounds = matcher.Sounds();
    ASSERT_EQ(sounds.size(), row.choices);
    const double match = sounds[0];
    EXPECT_LE(Semitones(match, row.target), 1.0);
    // The match lies on the search grid: quarter semitones up from 20 Hz.
    const double step = std::log2(match / 20.0) * 48.0;
    EXPECT_NEAR(step, std::round(step), 1e-9);
    if (row.choices == 3)
        EXPECT_EQ(sounds, (std::vector<double>{match, match / 2.0, match * 2.0}));
    else
        EXPECT_EQ(sounds, (std::vector<double>{match, match * row.ratio}));
    ASSERT_TRUE(matcher.Answer(row.answer));
    EXPECT_EQ(matcher.Result(), std::lround(match * row.ratio));
}

INSTANTIATE_TEST_SUITE_P(Octaves, OctaveTest,
                         testing::Values(OctaveRow{"first the match", 250.0, 16000.0, 1000.0, 1, 3, 1.0},
                                         OctaveRow{"second the octave below", 250.0, 16000.0, 1000.0, 2, 3, 0.5},
                                         OctaveRow{"third the octave above", 250.0, 16000.0, 1000.0, 3, 3, 2.0},
                                         OctaveRow{"near 20 kHz only below", 15000.0, 20000.0, 20000.0, 2, 2, 0.5},
                                         OctaveRow{"near 20 Hz only above", 20.0, 30.0, 21.0, 2, 2, 2.0}),
                         RowName());

TEST(ToneSequenceTest, tones_ramp_in_and_out_with_silence_between)
{
    const std::vector<int16_t> s = RenderToneSequence({1000.0, 2000.0});
    ASSERT_EQ(s.size(), 2u * (44100u + 22050u));
    // The 20 ms ramp: nothing near full level in its first millisecond.
    EXPECT_LE(Peak(std::span(s.data(), 44)), 30);
    EXPECT_LE(Peak(std::span(s.data() + 44100 - 44, 44)), 30);
    EXPECT_EQ(Peak(std::span(s.data() + 44100, 22050)), 0) << "the gap";
    EXPECT_EQ(Peak(std::span(s.data() + 882, 44100 - 2 * 882)), 3000);
}

} // namespace
