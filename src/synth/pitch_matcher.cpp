// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/pitch_matcher.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{

// An answer is taken as right nine times in ten: the weight of the side it
// rules out falls to a ninth, not to zero.
constexpr double kRight = 0.9;
constexpr double kWrong = 0.1;
constexpr double kConfidence = 0.9;
constexpr double kSemitone = 1.0 / 12.0;
// Two tones closer than half a semitone are hard to tell apart.
constexpr double kMinSpreadOctaves = 0.5 * kSemitone;

} // namespace

CPitchMatcher::CPitchMatcher()
{
    const int count = static_cast<int>(std::floor(std::log2(kMaxHz / kMinHz) * kGridPerOctave)) + 1;
    m_weights.assign(static_cast<size_t>(count), 0.0);
}

bool CPitchMatcher::SetRange(double lower, double upper)
{
    if (m_step != Step::Level || !(lower >= kMinHz && upper <= kMaxHz && lower < upper))
        return false;
    m_lowerLimit = lower;
    m_upperLimit = upper;
    return true;
}

double CPitchMatcher::GridHz(int i) const
{
    return kMinHz * std::exp2(static_cast<double>(i) / kGridPerOctave);
}

int CPitchMatcher::Quantile(double p) const
{
    const double total = std::accumulate(m_weights.begin(), m_weights.end(), 0.0);
    double sum = 0.0;
    for (size_t i = 0; i < m_weights.size(); ++i)
    {
        sum += m_weights[i];
        if (sum >= p * total)
            return static_cast<int>(i);
    }
    return static_cast<int>(m_weights.size()) - 1;
}

double CPitchMatcher::CurrentLower() const
{
    return m_step == Step::Bracket ? GridHz(Quantile(0.05)) : m_lowerLimit;
}

double CPitchMatcher::CurrentUpper() const
{
    return m_step == Step::Bracket ? GridHz(Quantile(0.95)) : m_upperLimit;
}

bool CPitchMatcher::Converged() const
{
    const int median = Quantile(0.5);
    const int reach = kGridPerOctave / 12;
    const double total = std::accumulate(m_weights.begin(), m_weights.end(), 0.0);
    const auto first = m_weights.begin() + std::max(0, median - reach);
    const auto last = m_weights.begin() + std::min(static_cast<int>(m_weights.size()), median + reach + 1);
    return std::accumulate(first, last, 0.0) >= kConfidence * total;
}

std::vector<double> CPitchMatcher::Sounds() const
{
    switch (m_step)
    {
        case Step::Level:
            return {kLevelToneHz};
        case Step::Bracket:
            return {m_tone1, m_tone2};
        case Step::Octave:
            return m_octaveChoices;
        case Step::Done:
            break;
    }
    return {};
}

void CPitchMatcher::ConfirmLevel()
{
    if (m_step != Step::Level)
        return;
    bool any = false;
    for (size_t i = 0; i < m_weights.size(); ++i)
    {
        const double hz = GridHz(static_cast<int>(i));
        m_weights[i] = hz >= m_lowerLimit && hz <= m_upperLimit ? 1.0 : 0.0;
        any = any || m_weights[i] > 0.0;
    }
    // A range narrower than the grid still holds the point nearest to it.
    if (!any)
    {
        const double centre = std::log2(std::sqrt(m_lowerLimit * m_upperLimit) / kMinHz) * kGridPerOctave;
        const int i = std::clamp(static_cast<int>(std::lround(centre)), 0, static_cast<int>(m_weights.size()) - 1);
        m_weights[static_cast<size_t>(i)] = 1.0;
    }
    m_step = Step::Bracket;
    m_bracketAnswers = 0;
    if (Converged())
        FinishBracket();
    else
        PrepareQuestion();
}

void CPitchMatcher::PrepareQuestion()
{
    // The dividing line sits between two grid points, on the side of the
    // median that splits the belief most evenly; otherwise a belief piled on
    // one point could never be questioned from both sides.
    const int median = Quantile(0.5);
    const double total = std::accumulate(m_weights.begin(), m_weights.end(), 0.0);
    const double below = std::accumulate(m_weights.begin(), m_weights.begin() + median, 0.0);
    const double step = 1.0 / kGridPerOctave;
    const double medianOctaves = static_cast<double>(median) / kGridPerOctave;
    const double split = below + m_weights[static_cast<size_t>(median)] - 0.5 * total > 0.5 * total - below
                             ? medianOctaves - 0.5 * step
                             : medianOctaves + 0.5 * step;
    // The tones stand half the middle half of the belief apart from the line,
    // so that early questions span the range and later ones close in.
    const double quartiles = static_cast<double>(Quantile(0.75) - Quantile(0.25)) / kGridPerOctave;
    const double spread = std::max(0.5 * quartiles, kMinSpreadOctaves);
    const double top = std::log2(kMaxHz / kMinHz);
    const double low = std::clamp(split - spread, 0.0, top);
    const double high = std::clamp(split + spread, 0.0, top);
    m_tone1 = kMinHz * std::exp2(low);
    m_tone2 = kMinHz * std::exp2(high);
}

void CPitchMatcher::FinishBracket()
{
    const double match = GridHz(Quantile(0.5));
    m_octaveChoices.clear();
    m_octaveChoices.push_back(match);
    if (match / 2.0 >= kMinHz)
        m_octaveChoices.push_back(match / 2.0);
    if (match * 2.0 <= kMaxHz)
        m_octaveChoices.push_back(match * 2.0);
    m_step = Step::Octave;
}

bool CPitchMatcher::Answer(int choice)
{
    if (m_step == Step::Bracket && (choice == 1 || choice == 2))
    {
        // The listener hears which tone is nearer on a log scale: the
        // dividing line is the tones' geometric mean.
        const double line = 0.5 * (std::log2(m_tone1 / kMinHz) + std::log2(m_tone2 / kMinHz));
        for (size_t i = 0; i < m_weights.size(); ++i)
        {
            const bool lower = static_cast<double>(i) / kGridPerOctave < line;
            m_weights[i] *= lower == (choice == 1) ? kRight : kWrong;
        }
        // Keep the weights away from underflow over long searches.
        const double peak = *std::max_element(m_weights.begin(), m_weights.end());
        for (double& w : m_weights)
            w /= peak;
        ++m_bracketAnswers;
        if (Converged() || m_bracketAnswers >= kMaxBracketAnswers)
            FinishBracket();
        else
            PrepareQuestion();
        return true;
    }
    if (m_step == Step::Octave && choice >= 1 && choice <= static_cast<int>(m_octaveChoices.size()))
    {
        const double hz = m_octaveChoices[static_cast<size_t>(choice - 1)];
        m_result = std::clamp(static_cast<int>(std::lround(hz)), static_cast<int>(kMinHz), static_cast<int>(kMaxHz));
        m_step = Step::Done;
        return true;
    }
    return false;
}
