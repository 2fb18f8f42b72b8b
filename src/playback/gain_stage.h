// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Applies the fades of a playback run to its samples by their index in the
// stream (0 = the first sample Play queued), never by the time of the
// refill: halves are made seconds before they are heard, and the curve must
// land on the samples it was meant for.
//
// With no fade set, Apply leaves every sample untouched. It never
// allocates. Not thread-safe: the engine sets and applies it under its
// refill lock.
class CGainStage
{
public:
    static constexpr int64_t kNone = -1;

    // Rise over the first `samples` of the stream; 0 turns it off.
    void SetFadeIn(int64_t samples) { m_fadeInSamples = samples > 0 ? samples : 0; }
    // Fall evenly over [end - samples, end) and end the stream at `end`.
    void SetFadeOut(int64_t end, int64_t samples);
    void ClearFadeOut()
    {
        m_end = kNone;
        m_fadeOutSamples = 0;
    }

    // Applies the gains to samples[0, count), which hold the stream's samples
    // from `first` on. Returns how many of them come before the end (count
    // when the end is not among them).
    int Apply(int16_t* samples, int count, int64_t first) const;

private:
    int64_t m_fadeInSamples = 0;
    int64_t m_end = kNone;
    int64_t m_fadeOutSamples = 0;
};
