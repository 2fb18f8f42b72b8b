// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "synth/hearing_profile.h"

// The hearing check as a procedure of questions, for any front end: it plays
// RenderHearingTone(CurrentTone()) and passes in whether the tone was heard.
//
// Per ear and frequency, the adaptive rule of pure-tone audiometry: after
// "heard" the level goes 10 dB down, after "not heard" 5 dB up. A tone heard
// right after one that was not is heard on an ascending run; the threshold
// is the lowest level heard on two ascending runs. When the first tone is
// not heard, the climb from it is the first ascending run.
//
// Safety: levels lie within kMinDb..kMaxDb (never above -10 dBFS), and a
// tone is never more than kUpDb louder than the one before it, also from
// one frequency or ear to the next: each frequency starts at kStartDb, or at
// 5 dB above the last tone when that was quieter.
//
// A frequency that has taken kMaxAnswers answers without a result ends with
// the median of the levels heard on ascending runs. Not heard twice at
// kMaxDb, a frequency ends as not heard.
//
// Plain data and arithmetic: no threads, no device.
class CHearingCheck
{
public:
    static constexpr int kStartDb = -40;
    static constexpr int kMinDb = -90;
    static constexpr int kMaxDb = -10;
    static constexpr int kDownDb = 10;
    static constexpr int kUpDb = 5;
    static constexpr int kMaxAnswers = 20;

    struct Tone
    {
        int frequencyHz = 1000;
        int levelDb = kStartDb;
        HearingEar ear = HearingEar::Both;
    };

    // 250, 500, 1000, 2000, 3000, 4000, 6000, 8000 and, optionally, 12000 Hz.
    static std::vector<int> Frequencies(bool with12k);

    // Checks each ear in turn (at least one; an empty list means Both).
    explicit CHearingCheck(std::vector<HearingEar> ears, bool with12k = false);

    bool Done() const { return m_current >= m_order.size(); }
    // The tone being asked about; meaningless once Done.
    Tone CurrentTone() const;
    // The listener's answer about CurrentTone. Ignored once Done.
    void Answer(bool heard);

    // Answers given at the current frequency so far.
    int AnswersHere() const { return m_answers; }
    // Frequencies (of all ears) finished, and their count in all.
    int FinishedCount() const { return static_cast<int>(m_current); }
    int TotalCount() const { return static_cast<int>(m_order.size()); }
    // The results so far, in the order the frequencies were checked.
    const std::vector<HearingThreshold>& Thresholds() const { return m_thresholds; }

private:
    void Finish(int levelDb, bool heard);

    std::vector<Tone> m_order; // ear and frequency of each step; levels unused
    size_t m_current = 0;
    int m_level = kStartDb;
    int m_answers = 0;
    bool m_lastHeard = true; // a first "heard" starts no ascending run
    int m_ceilingMisses = 0;
    std::vector<int> m_ascendingHeard; // levels heard on ascending runs here
    std::vector<HearingThreshold> m_thresholds;
};

// The sine amplitude of a level in dBFS, at most that of kMaxDb: the level's
// share of 32767, rounded down.
double HearingToneAmplitude(int levelDb);

// One question's sound: three pulses of the tone, 44100 Hz mono, never
// louder than kMaxDb.
std::vector<int16_t> RenderHearingTone(const CHearingCheck::Tone& tone);

// The profile a finished check leaves: its thresholds, after those of the
// other ears from previous (may be null) when that was made on the same
// device; a profile of another device is replaced whole.
HearingProfile ProfileAfterCheck(const HearingProfile* previous, std::string date, std::string device,
                                 const std::vector<HearingThreshold>& fresh);
