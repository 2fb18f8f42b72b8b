// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <memory>
#include <mutex>

#include "base/play_controls.h"
#include "base/zeroed_array.h"
#include "playback/endless_feed.h"
#include "playback/gain_stage.h"
#include "playback/signal_generator.h"
#include "playback/surf_shaper.h"

// The refill path of playback: makes the stream, half by half, into the two
// halves of the play buffer. Its stages, in order: the source (the synth's
// period or the endless feed), the glide's crossfade from the old sound to
// the new, the surf shaper, the gain (the fade-in, the fade-out and the
// stream's end) and, at Stop, a short ramp down. Positions count the
// stream's samples from the first one of the run (0).
//
// With no fade, glide or end set, every sample is exactly what the shaper
// makes of the source.
//
// Threading: one lock, Lock(), guards all of the chain's state. Members
// marked "locked" must be called with it held; the others take it
// themselves and must be called without it. Start runs only while no
// refill can run (the engine has halted output). The refill path (FillHalf)
// never allocates and never waits on anything but the lock; the members
// that allocate (the first glide, the first replacement) run on the UI
// thread.
class CRefillChain
{
public:
    static constexpr int kPeriodSamples = 262144;
    static constexpr int64_t kGlideSamples = 44100; // one second of crossfade
    static constexpr int kStopRampSamples = 2205;   // 50 ms
    // What a replacement can reach back to: all a sound server may hold
    // shortly after a glide replaced its queue (about 14 s).
    static constexpr int kHistorySamples = 6 * 131072;

    explicit CRefillChain(ISignalGenerator& synth);
    // A second chain (the right ear's) under the lock of `lockOwner`, so that
    // the refill path still takes one lock for both.
    CRefillChain(ISignalGenerator& synth, CRefillChain& lockOwner);
    CRefillChain(const CRefillChain&) = delete;
    CRefillChain& operator=(const CRefillChain&) = delete;

    [[nodiscard]] std::unique_lock<std::mutex> Lock() { return std::unique_lock(m_mutex); }

    // The band a run's noise leaves out (none for the tone).
    static NotchBand Notch(const PlayParameters& params);

    // Begins a run of `params` at stream position 0 (the endless feed
    // starts afresh with the run's seed) and fills both halves. The synth's
    // signal must be made.
    // levelSeed: for the right ear, the left ear's seed, whose level its
    // endless noise takes (StartEndlessSpectrum).
    void Start(const PlayParameters& params, std::optional<uint64_t> levelSeed = std::nullopt);

    // Locked. Fills half 0 or 1 with the stream's next samples and returns
    // how many of them come before the stream's end (0 once it ended).
    int FillHalf(int half);
    // Locked. Samples of the half last filled that come before the end.
    int Kept(int half) const { return m_kept[half]; }
    // Locked. The next position FillHalf makes; whether the end was made.
    int64_t Position() const { return m_position; }
    bool StreamEnded() const { return m_streamEnded; }

    // Ends the stream at `end` after falling evenly over the `fade` samples
    // before it, from the next sample made on.
    void SetStreamEnd(int64_t end, int64_t fade);
    void ClearStreamEnd();
    // Surf settings, heard from the next sample made. Any time, any thread.
    void SetSurf(double strength, double period);

    // Glide, in two steps around the making of the new sound: HoldOldSound
    // keeps a copy of the synth's period and plays on from it; GlideFrom
    // (locked) crossfades into the synth's new period from `position` (at
    // least OldestRemakeable(), at most Position()). Samples already made
    // from `position` on are made again into Remade(); returns how many.
    void HoldOldSound();
    int GlideFrom(int64_t position, int playedType);
    // Locked. The first position GlideFrom can make again, and the first
    // StopTail can ramp from.
    int64_t OldestRemakeable() const;
    int64_t OldestMade() const { return std::max<int64_t>(m_position - kHistorySamples, 0); }

    // Locked. The end of the stream from `position` on, for Stop: the samples
    // made from there fall to silence over kStopRampSamples, and silence
    // follows up to `end`. Written to Remade(); returns the count
    // (end - position, at most kHistorySamples).
    int StopTail(int64_t position, int64_t end);
    const int16_t* Remade() const { return m_remade.get(); }

    const int16_t* Buffer() const { return m_buffer.get(); }
    // Locked. The length of each half of the run.
    int HalfLength() const { return m_halfLength; }
    int PlayedType() const { return m_shaper.m_playedType.load(std::memory_order_relaxed); }
    void SetPlayedType(int type) { m_shaper.m_playedType.store(type, std::memory_order_relaxed); }
    bool Endless() const { return m_endless; }
    const CEndlessFeed* EndlessFeed() const { return m_feed.get(); }
    // The listener's shape for the endless noise of the following runs (off
    // by default). Set it before Start, as the parameters are.
    void SetEndlessTilt(const SpectrumTilt& tilt) { m_endlessTilt = tilt; }

private:
    struct HalfRecord
    {
        int64_t start = -1;   // stream position of its first sample; -1: none
        int half = 0;         // which half of the source it read
        uint32_t counter = 0; // surf counter at its first sample
    };

    void MixGlide(int half, int length);
    void Remember(const int16_t* samples, int count, int64_t position);
    int16_t Made(int64_t position) const;

    ISignalGenerator& m_synth;
    std::mutex m_ownMutex;
    std::mutex& m_mutex; // m_ownMutex, or the lock owner's

    // Everything below is guarded by m_mutex.
    ZeroedArray<int16_t> m_buffer; // the two halves the device plays
    CSurfShaper m_shaper;          // reads the source, writes m_buffer
    CGainStage m_gain;
    int m_halfLength = kPeriodSamples / 2;
    int64_t m_position = 0;
    bool m_streamEnded = false;
    int m_kept[2] = {0, 0};
    int64_t m_fills = 0;
    HalfRecord m_records[3]; // the last halves made, newest at m_newest
    int m_newest = 0;

    // Glide: the old sound's period and the mixed period the shaper reads
    // while the crossfade runs.
    std::unique_ptr<int16_t[]> m_glideOld;
    std::unique_ptr<int16_t[]> m_glideMix;
    int64_t m_glideStart = -1; // position where the crossfade begins; -1: none

    // The samples made last, by position modulo kHistorySamples, and the
    // samples made again for a replacement.
    std::unique_ptr<int16_t[]> m_history;
    std::unique_ptr<int16_t[]> m_remade;

    std::unique_ptr<CEndlessFeed> m_feed; // made on the first endless run
    SpectrumTilt m_endlessTilt;
    bool m_endless = false;
};
