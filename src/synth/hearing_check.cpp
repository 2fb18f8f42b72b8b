// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/hearing_check.h"

#include <algorithm>
#include <cmath>

#include "synth/tone_sequence.h"

namespace
{

// 1 kHz first, as audiometry does: the easiest tone to learn the task on.
// The low ones come last, after the highs, as a descent in level is quick.
constexpr int kOrder[] = {1000, 2000, 3000, 4000, 6000, 8000, 12000, 500, 250};

} // namespace

std::string_view HearingEarName(HearingEar ear)
{
    switch (ear)
    {
        case HearingEar::Left:
            return "left";
        case HearingEar::Right:
            return "right";
        case HearingEar::Both:
            break;
    }
    return "both";
}

std::optional<HearingEar> HearingEarFromName(std::string_view name)
{
    for (HearingEar ear : {HearingEar::Left, HearingEar::Right, HearingEar::Both})
        if (name == HearingEarName(ear))
            return ear;
    return std::nullopt;
}

std::vector<int> CHearingCheck::Frequencies(bool with12k)
{
    std::vector<int> hz = {250, 500, 1000, 2000, 3000, 4000, 6000, 8000};
    if (with12k)
        hz.push_back(12000);
    return hz;
}

CHearingCheck::CHearingCheck(std::vector<HearingEar> ears, bool with12k)
{
    if (ears.empty())
        ears.push_back(HearingEar::Both);
    for (HearingEar ear : ears)
        for (int hz : kOrder)
            if (hz != 12000 || with12k)
                m_order.push_back(Tone{hz, 0, ear});
}

CHearingCheck::Tone CHearingCheck::CurrentTone() const
{
    Tone tone = m_current < m_order.size() ? m_order[m_current] : Tone{};
    tone.levelDb = m_level;
    return tone;
}

void CHearingCheck::Answer(bool heard)
{
    if (Done())
        return;
    ++m_answers;
    const int level = m_level;
    if (heard)
    {
        // At the floor there is nothing lower to bracket with: a tone heard
        // there counts as heard on a run of its own.
        if (!m_lastHeard || level == kMinDb)
        {
            m_ascendingHeard.push_back(level);
            if (std::count(m_ascendingHeard.begin(), m_ascendingHeard.end(), level) >= 2)
                return Finish(level, true);
        }
        m_level = std::max(level - kDownDb, kMinDb);
    }
    else
    {
        if (level == kMaxDb && ++m_ceilingMisses >= 2)
            return Finish(level, false);
        m_level = std::min(level + kUpDb, kMaxDb);
    }
    m_lastHeard = heard;
    if (m_answers >= kMaxAnswers)
    {
        m_level = level; // the tone just answered, for the next start
        // An unsteady listener: the middle of what the ascending runs found.
        std::vector<int> levels = m_ascendingHeard;
        if (levels.empty())
            return Finish(kMaxDb, false);
        std::sort(levels.begin(), levels.end());
        Finish(levels[(levels.size() - 1) / 2], true);
    }
}

void CHearingCheck::Finish(int levelDb, bool heard)
{
    // The tone just answered was at m_level; the next one may be at most
    // kUpDb louder than it.
    const int last = m_level;
    const Tone& done = m_order[m_current];
    m_thresholds.push_back(HearingThreshold{done.ear, done.frequencyHz, levelDb, heard});
    ++m_current;
    m_level = std::max(std::min(kStartDb, last + kUpDb), kMinDb);
    m_answers = 0;
    m_lastHeard = true;
    m_ceilingMisses = 0;
    m_ascendingHeard.clear();
}

double HearingToneAmplitude(int levelDb)
{
    const int level = std::min(levelDb, CHearingCheck::kMaxDb);
    return std::floor(32767.0 * std::pow(10.0, level / 20.0));
}

std::vector<int16_t> RenderHearingTone(const CHearingCheck::Tone& tone)
{
    // Pulses are easier to tell from a tinnitus than a steady tone.
    ToneSequence shape;
    shape.toneSeconds = 0.25;
    shape.gapSeconds = 0.2;
    shape.rampSeconds = 0.025;
    shape.amplitude = HearingToneAmplitude(tone.levelDb);
    const double hz = tone.frequencyHz;
    return RenderToneSequence({hz, hz, hz}, shape);
}

HearingProfile ProfileAfterCheck(const HearingProfile* previous, std::string date, std::string device,
                                 const std::vector<HearingThreshold>& fresh)
{
    HearingProfile profile;
    profile.date = std::move(date);
    profile.device = std::move(device);
    if (previous != nullptr && previous->device == profile.device)
        for (const HearingThreshold& t : previous->thresholds)
            if (std::none_of(fresh.begin(), fresh.end(), [&](const HearingThreshold& f) { return f.ear == t.ear; }))
                profile.thresholds.push_back(t);
    profile.thresholds.insert(profile.thresholds.end(), fresh.begin(), fresh.end());
    return profile;
}
