// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

// The guided pitch match of a tinnitus, as a procedure of questions; the
// front ends play Sounds() and pass the listener's answers in.
//
//   Level    one quiet tone at 1 kHz; the listener sets the volume, then
//            ConfirmLevel.
//   Bracket  two tones; answer 1 or 2: which is closer to the tinnitus.
//            The search keeps a belief over a log-frequency grid (quarter
//            semitones) and asks about its median. An answer does not
//            exclude the other side outright: it only weighs it down, as if
//            one answer in ten were wrong. A consistent listener narrows the
//            range by about half per answer; after a contradicting answer
//            the belief spreads and the range widens again, so one slip
//            cannot trap the search. It ends when 90 % of the belief lies
//            within a semitone of the median, or after kMaxBracketAnswers.
//   Octave   the match, an octave below and an octave above (those within
//            20..20000 Hz); the answer picks one. People often match an
//            octave off; this catches it.
//   Done     Result() is the frequency in whole hertz.
//
// Plain data and arithmetic: no threads, no allocation after construction
// except Sounds()'s small vector.
class CPitchMatcher
{
public:
    enum class Step
    {
        Level,
        Bracket,
        Octave,
        Done,
    };

    static constexpr double kLevelToneHz = 1000.0;
    static constexpr double kDefaultLower = 250.0;
    static constexpr double kDefaultUpper = 16000.0;
    static constexpr double kMinHz = 20.0;
    static constexpr double kMaxHz = 20000.0;
    static constexpr int kMaxBracketAnswers = 24;

    CPitchMatcher();

    // The search range, before the bracketing starts: 20 <= lower < upper
    // <= 20000. False (and nothing changed) otherwise.
    bool SetRange(double lower, double upper);
    double RangeLowerLimit() const { return m_lowerLimit; }
    double RangeUpperLimit() const { return m_upperLimit; }

    Step CurrentStep() const { return m_step; }
    // The tones of the current question in hertz, in the order they play.
    std::vector<double> Sounds() const;
    // Leaves the level step.
    void ConfirmLevel();
    // Answer 1..Sounds().size() in the bracketing or octave step. False for
    // any other answer or step (nothing changes).
    bool Answer(int choice);

    // Answers given in the bracketing step so far.
    int BracketAnswers() const { return m_bracketAnswers; }
    // Where the search stands now: the range that holds 90 % of the belief.
    double CurrentLower() const;
    double CurrentUpper() const;
    // The matched frequency in whole hertz, 20..20000, once Done.
    int Result() const { return m_result; }

private:
    static constexpr int kGridPerOctave = 48;
    int Quantile(double p) const;
    double GridHz(int i) const;
    bool Converged() const;
    void PrepareQuestion();
    void FinishBracket();

    Step m_step = Step::Level;
    double m_lowerLimit = kDefaultLower;
    double m_upperLimit = kDefaultUpper;
    std::vector<double> m_weights; // belief per grid point, log2 spaced from kMinHz
    double m_tone1 = 0.0;          // the bracketing question's tones, Hz
    double m_tone2 = 0.0;
    int m_bracketAnswers = 0;
    std::vector<double> m_octaveChoices;
    int m_result = 0;
};
