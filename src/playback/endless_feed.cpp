// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/endless_feed.h"

CEndlessFeed::CEndlessFeed()
    : m_periods(new int16_t[2 * static_cast<size_t>(kPeriodSamples)]()), m_producer(&CEndlessFeed::Produce, this)
{}

CEndlessFeed::~CEndlessFeed()
{
    m_quit.store(true, std::memory_order_release);
    Wake();
    m_producer.join();
}

void CEndlessFeed::Wake()
{
    m_wake.fetch_add(1, std::memory_order_release);
    m_wake.notify_one();
}

const int16_t* CEndlessFeed::Start(int type, double lower, double upper, uint64_t seed, const NotchBand& notch,
                                   const SpectrumTilt& tilt, std::optional<uint64_t> levelSeed)
{
    m_running.store(false, std::memory_order_release);
    {
        std::lock_guard lock(m_workMutex);
        m_noise.SetTilt(tilt);
        m_noise.Start(type, lower, upper, seed, notch, levelSeed);
        m_noise.Next(Period(0));
        m_current.store(0, std::memory_order_relaxed);
        m_nextReady.store(false, std::memory_order_release);
        m_running.store(true, std::memory_order_release);
    }
    Wake();
    return Period(0);
}

const int16_t* CEndlessFeed::Advance()
{
    if (!m_nextReady.load(std::memory_order_acquire))
    {
        m_misses.fetch_add(1, std::memory_order_relaxed);
        return Period(m_current.load(std::memory_order_relaxed));
    }
    // The current period was read to its end by the refills before this
    // one, so the producer may now overwrite it.
    const int next = 1 - m_current.load(std::memory_order_relaxed);
    m_current.store(next, std::memory_order_relaxed);
    m_nextReady.store(false, std::memory_order_release);
    Wake();
    return Period(next);
}

void CEndlessFeed::Produce()
{
    for (;;)
    {
        const uint32_t seen = m_wake.load(std::memory_order_acquire);
        if (m_quit.load(std::memory_order_acquire))
            return;
        {
            std::lock_guard lock(m_workMutex);
            if (m_running.load(std::memory_order_acquire) && !m_nextReady.load(std::memory_order_acquire))
            {
                m_noise.Next(Period(1 - m_current.load(std::memory_order_relaxed)));
                m_nextReady.store(true, std::memory_order_release);
                continue;
            }
        }
        m_wake.wait(seen, std::memory_order_acquire);
    }
}
