// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <memory>
#include <mutex>
#include <thread>

#include "synth/endless_noise.h"

// Feeds endless noise to the playback engine: the period being played and
// the next one, which a producer thread of its own makes while the current
// one plays (a period lasts 5.9 s; making one takes a few milliseconds).
//
// Threading: Start runs on the UI thread while no refill uses the feed.
// Advance runs on the refill path (one thread at a time, ordered after
// Start); it never waits and never allocates: it only swaps an index and
// wakes the producer. All memory and the thread come with the constructor.
class CEndlessFeed
{
public:
    static constexpr int kPeriodSamples = CEndlessNoise::kPeriodSamples;

    CEndlessFeed();
    ~CEndlessFeed();
    CEndlessFeed(const CEndlessFeed&) = delete;
    CEndlessFeed& operator=(const CEndlessFeed&) = delete;

    // Begins a run (waiting for a period the producer may be making for the
    // last run), makes O_0 on the calling thread and returns it; the
    // producer starts on O_1 at once.
    // levelSeed: the left ear's seed for the right ear (StartEndlessSpectrum).
    const int16_t* Start(int type, double lower, double upper, uint64_t seed, const NotchBand& notch = {},
                         const SpectrumTilt& tilt = {}, std::optional<uint64_t> levelSeed = std::nullopt);

    // The next period when the producer has made it; otherwise (the machine
    // was too busy for seconds) the current one again, so that the sound
    // goes on without a gap.
    const int16_t* Advance();

    // How often Advance found the next period not yet made.
    uint64_t Misses() const { return m_misses.load(std::memory_order_relaxed); }
    // True once the period after the current one is made (tests, benches).
    bool NextReady() const { return m_nextReady.load(std::memory_order_acquire); }

private:
    void Produce();
    int16_t* Period(int index) const { return m_periods.get() + static_cast<size_t>(index) * kPeriodSamples; }
    void Wake();

    CEndlessNoise m_noise;                // used under m_workMutex
    std::unique_ptr<int16_t[]> m_periods; // two periods: current and next
    std::mutex m_workMutex;               // held while a period is made
    std::atomic<int> m_current{0};        // the period being played
    std::atomic<bool> m_nextReady{false}; // the other period holds the next one
    std::atomic<bool> m_running{false};   // a run is on: the producer may work
    std::atomic<bool> m_quit{false};
    std::atomic<uint32_t> m_wake{0}; // bumped on every event the producer waits for
    std::atomic<uint64_t> m_misses{0};
    std::thread m_producer;
};
