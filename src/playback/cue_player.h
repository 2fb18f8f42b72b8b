// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "base/stereo_sound.h"
#include "playback/wave_out.h"

// One cue on the open device (the pitch match's tones): spreads it over two
// channels when the device has them (one ear or both), prepares and queues
// its header, and tells when it was played or handed back.
//
// Threading: Queue and Release run on the UI thread; MarkDone and Owns also
// on the wave-output notification thread (the done flag is atomic, the
// header is only compared there).
class CCuePlayer
{
public:
    explicit CCuePlayer(IWaveOut& waveOut) : m_waveOut(waveOut) {}

    // Queues `count` samples on `handle` opened with `channels`; `ear`
    // chooses the channel when there are two. The samples must stay
    // unchanged until Done. False when the device refused the buffer.
    bool Queue(WaveHandle handle, const int16_t* samples, uint32_t count, ToneEar ear, int channels);
    // Unprepares the cue's header, if any, before the device closes.
    void Release(WaveHandle handle);
    void MarkDone() { m_done.store(true, std::memory_order_release); }
    // True once the last cue was played or handed back (and before any).
    bool Done() const { return m_done.load(std::memory_order_acquire); }
    bool Owns(const WaveHeader* header) const { return header == &m_header; }

private:
    IWaveOut& m_waveOut;
    std::atomic<bool> m_done{true};
    WaveHeader m_header;
    bool m_prepared = false;
    std::vector<int16_t> m_frames; // a cue spread over two channels
};
