// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

#include "synth/noise_type.h"

// Shapes the playback halves: copies one half of the period from the source
// into the playback buffer, multiplied by the surf gain g(n), where n is the
// running surf counter.
//
// Threading: FillHalf runs on one thread at a time (the engine orders the
// calls: the UI thread before anything is queued, then the notification
// thread). The surf settings and the played type may be written by the UI
// thread at any time; FillHalf reads S and P afresh for every sample, so a
// change is heard from the next sample on. Nothing here allocates.
class CSurfShaper
{
public:
    static constexpr int kNoiseHalfSamples = PeriodSamples(White) / 2;         // N / 2
    static constexpr int kToneHalfSamples = PeriodSamples(TinnitusFinder) / 2; // half a second

    // source and samples each hold at least 262144 samples and outlive this.
    CSurfShaper(const int16_t* source, int16_t* samples);

    // Half length in samples for a signal of the given noise type.
    static constexpr int HalfLength(int playedType) { return PeriodSamples(playedType) / 2; }

    // Shapes half 0 or half 1 (any non-zero value means 1) of the signal of
    // m_playedType into samples, advancing m_surfCounter once per sample.
    void FillHalf(int half);

    // Shapes `count` samples of `source` into `out` as FillHalf would from
    // surf counter `counter`, leaving m_surfCounter alone; returns the
    // counter after them. Makes again samples that were made before.
    uint32_t Shape(const int16_t* source, int16_t* out, int count, uint32_t counter) const;

    // The period FillHalf reads from now on (endless noise changes it every
    // period); called only where FillHalf may be.
    void SetSource(const int16_t* source) { m_source = source; }

    std::atomic<double> m_surfStrength{0.0}; // S, percent
    std::atomic<double> m_surfPeriod{8.0};   // P, seconds
    std::atomic<int> m_playedType{-1};       // NoiseType of the signal last started
    std::atomic<uint32_t> m_surfCounter{0};  // surf phase index; Play resets it to 0

private:
    const int16_t* m_source;
    int16_t* m_samples;
};
