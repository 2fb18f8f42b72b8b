// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/gain_stage.h"

#include <algorithm>

#include "playback/fade_curve.h"

void CGainStage::SetFadeOut(int64_t end, int64_t samples)
{
    m_end = std::max<int64_t>(end, 0);
    m_fadeOutSamples = std::clamp<int64_t>(samples, 0, m_end);
}

int CGainStage::Apply(int16_t* samples, int count, int64_t first) const
{
    int kept = count;
    if (m_end != kNone && first + count > m_end)
        kept = static_cast<int>(std::max<int64_t>(m_end - first, 0));

    // Only the stretches inside a fade are touched: elsewhere the stream
    // stays exactly as the shaper made it.
    if (m_fadeInSamples > 0 && first < m_fadeInSamples)
    {
        const int stop = static_cast<int>(std::min<int64_t>(m_fadeInSamples - first, kept));
        for (int i = 0; i < stop; ++i)
            samples[i] = FadeCurve::Scale(samples[i], FadeCurve::RiseGain(first + i, m_fadeInSamples));
    }
    if (m_end != kNone)
    {
        const int64_t fadeStart = m_end - m_fadeOutSamples;
        const int begin = static_cast<int>(std::clamp<int64_t>(fadeStart - first, 0, kept));
        for (int i = begin; i < kept; ++i)
            samples[i] = FadeCurve::Scale(samples[i], FadeCurve::FallGain(first + i - fadeStart, m_fadeOutSamples));
    }
    return kept;
}
