// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/refill_chain.h"

#include <algorithm>
#include <cstring>

#include "playback/fade_curve.h"
#include "synth/noise_type.h"
#include "synth/sample_rate.h"

CRefillChain::CRefillChain(ISignalGenerator& synth) : CRefillChain(synth, *this) {}

CRefillChain::CRefillChain(ISignalGenerator& synth, CRefillChain& lockOwner)
    : m_synth(synth),
      m_mutex(lockOwner.m_ownMutex),
      m_buffer(MakeZeroedArray<int16_t>(kPeriodSamples)),
      m_shaper(synth.Source(), m_buffer.get()),
      m_history(new int16_t[kHistorySamples]())
{}

NotchBand CRefillChain::Notch(const PlayParameters& params)
{
    return NotchBand{params.notch && !IsTone(params.noiseType), static_cast<double>(params.tinnitusFreq),
                     ValidNotchWidth(params.notchWidthOctaves)};
}

void CRefillChain::Start(const PlayParameters& params, std::optional<uint64_t> levelSeed)
{
    // No refill runs now, so the feed may start over; the producer's work
    // for an earlier run is waited for, never played.
    const bool endless = params.endless && !IsTone(params.noiseType);
    const int16_t* source = m_synth.Source();
    if (endless)
    {
        if (!m_feed)
            m_feed = std::make_unique<CEndlessFeed>();
        source = m_feed->Start(params.noiseType, params.lowerLimit, params.upperLimit, params.seed, Notch(params),
                               m_endlessTilt, levelSeed);
    }
    SetSurf(params.surfStrength, params.surfPeriod);
    std::lock_guard lock(m_mutex);
    m_endless = endless;
    m_halfLength = CSurfShaper::HalfLength(params.noiseType);
    SetPlayedType(params.noiseType);
    m_shaper.SetSource(source);
    m_shaper.m_surfCounter.store(0, std::memory_order_relaxed);
    m_position = 0;
    m_streamEnded = false;
    m_glideStart = -1;
    m_fills = 0;
    for (HalfRecord& record : m_records)
        record = HalfRecord{};
    m_gain.SetFadeIn(params.fadeInSamples);
    if (params.endSample >= 0)
        m_gain.SetFadeOut(params.endSample, params.fadeOutSamples);
    else
        m_gain.ClearFadeOut();
    FillHalf(0);
    FillHalf(1);
}

int CRefillChain::FillHalf(int half)
{
    if (m_streamEnded)
    {
        m_kept[half] = 0;
        return 0;
    }
    // Half 0 begins a period: endless noise moves on to the next one.
    if (half == 0 && m_endless && m_fills > 0)
        m_shaper.SetSource(m_feed->Advance());
    ++m_fills;
    const int length = m_halfLength;
    const bool gliding = m_glideStart >= 0;
    if (gliding)
        MixGlide(half, length);
    m_newest = (m_newest + 1) % 3;
    m_records[m_newest] = HalfRecord{m_position, half, m_shaper.m_surfCounter.load(std::memory_order_relaxed)};
    m_shaper.FillHalf(half);
    if (gliding && m_position + length - m_glideStart >= kGlideSamples)
    {
        m_shaper.SetSource(m_synth.Source());
        m_glideStart = -1;
    }
    int16_t* samples = m_buffer.get() + (half != 0 ? length : 0);
    const int kept = m_gain.Apply(samples, length, m_position);
    Remember(samples, kept, m_position);
    m_position += length;
    if (kept < length)
        m_streamEnded = true;
    m_kept[half] = kept;
    return kept;
}

void CRefillChain::Remember(const int16_t* samples, int count, int64_t position)
{
    // Two copies at most: the ring wraps once within a half.
    int done = 0;
    while (done < count)
    {
        const int at = static_cast<int>((position + done) % kHistorySamples);
        const int n = std::min(count - done, kHistorySamples - at);
        std::memcpy(m_history.get() + at, samples + done, static_cast<size_t>(n) * 2);
        done += n;
    }
}

int16_t CRefillChain::Made(int64_t position) const
{
    if (position < 0 || position >= m_position || position < m_position - kHistorySamples)
        return 0;
    return m_history[static_cast<size_t>(position % kHistorySamples)];
}

void CRefillChain::SetStreamEnd(int64_t end, int64_t fade)
{
    std::lock_guard lock(m_mutex);
    m_gain.SetFadeOut(end, fade);
}

void CRefillChain::ClearStreamEnd()
{
    std::lock_guard lock(m_mutex);
    m_gain.ClearFadeOut();
}

void CRefillChain::SetSurf(double strength, double period)
{
    m_shaper.m_surfStrength.store(strength, std::memory_order_relaxed);
    m_shaper.m_surfPeriod.store(period, std::memory_order_relaxed);
}

void CRefillChain::HoldOldSound()
{
    if (!m_glideOld)
    {
        m_glideOld.reset(new int16_t[kPeriodSamples]);
        m_glideMix.reset(new int16_t[kPeriodSamples]);
    }
    std::lock_guard lock(m_mutex);
    std::copy(m_synth.Source(), m_synth.Source() + kPeriodSamples, m_glideOld.get());
    m_shaper.SetSource(m_glideOld.get());
    m_glideStart = -1;
}

int64_t CRefillChain::OldestRemakeable() const
{
    int64_t oldest = m_position;
    for (const HalfRecord& record : m_records)
    {
        if (record.start >= 0)
            oldest = std::min(oldest, record.start);
    }
    return std::max(oldest, m_position - kHistorySamples);
}

int CRefillChain::GlideFrom(int64_t position, int playedType)
{
    position = std::clamp(position, OldestRemakeable(), m_position);
    m_glideStart = position;
    SetPlayedType(playedType);
    const int count = static_cast<int>(m_position - position);
    if (count > 0)
    {
        if (!m_remade)
            m_remade.reset(new int16_t[kHistorySamples]);
        // The samples made from `position` on, made again with the crossfade:
        // each half's part from its own source half and surf phase.
        const int16_t* next = m_synth.Source();
        for (int age = 2; age >= 0; --age)
        {
            const HalfRecord& record = m_records[(m_newest + 3 - age) % 3];
            if (record.start < 0)
                continue;
            const int64_t begin = std::max(position, record.start);
            const int64_t end = std::min(m_position, record.start + m_halfLength);
            if (begin >= end)
                continue;
            // The surf phase runs on from the half's start as it did.
            uint32_t counter = record.counter;
            const double period = m_shaper.m_surfPeriod.load(std::memory_order_relaxed);
            for (int64_t k = record.start; k < begin; ++k)
                counter = period == 0.0 ? 0 : (static_cast<double>(counter) < kSampleRate * period ? counter + 1 : 0);
            const int first = record.half * m_halfLength + static_cast<int>(begin - record.start);
            const int n = static_cast<int>(end - begin);
            for (int i = 0; i < n; ++i)
            {
                const double t = static_cast<double>(begin + i - position) / static_cast<double>(kGlideSamples);
                m_glideMix[first + i] = FadeCurve::GlideMix(m_glideOld[first + i], next[first + i], t);
            }
            int16_t* out = m_remade.get() + (begin - position);
            m_shaper.Shape(m_glideMix.get() + first, out, n, counter);
            const int kept = m_gain.Apply(out, n, begin);
            std::fill(out + kept, out + n, int16_t{0});
            Remember(out, n, begin);
        }
    }
    if (m_position - m_glideStart >= kGlideSamples)
    {
        m_shaper.SetSource(m_synth.Source());
        m_glideStart = -1;
    }
    return count;
}

void CRefillChain::MixGlide(int half, int length)
{
    const int start = half != 0 ? length : 0;
    const int16_t* next = m_synth.Source();
    for (int k = start; k < start + length; ++k)
    {
        const int64_t position = m_position + (k - start) - m_glideStart;
        m_glideMix[k] = FadeCurve::GlideMix(m_glideOld[k], next[k],
                                            static_cast<double>(position) / static_cast<double>(kGlideSamples));
    }
    m_shaper.SetSource(m_glideMix.get());
}

int CRefillChain::StopTail(int64_t position, int64_t end)
{
    if (!m_remade)
        m_remade.reset(new int16_t[kHistorySamples]);
    const int count = static_cast<int>(std::clamp<int64_t>(end - position, 0, kHistorySamples));
    for (int k = 0; k < count; ++k)
    {
        m_remade[k] = k < kStopRampSamples
                          ? FadeCurve::Scale(Made(position + k), FadeCurve::StopRampGain(k, kStopRampSamples))
                          : int16_t{0};
    }
    return count;
}
