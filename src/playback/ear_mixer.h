// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "playback/refill_chain.h"
#include "playback/signal_generator.h"

// The two ears of a stereo run: the right ear's chain (noise from a
// generator of its own, with the left's positions, surf, fades, glide and
// stop ramp), the remaking of the right period to the left one's RMS, each
// ear's gain, and the interleaving of both ears into two-channel buffers for
// the device. A tone plays the left chain's samples in both ears at each
// ear's gain. Mono runs pass through untouched: the device gets the left
// chain's own buffers.
//
// Threading: SetEars, SynthesizeRight, the setters and Start run on the UI
// thread. The run's state (stereo, right noise, gains) and the interleave
// buffers are guarded by the left chain's lock, which the right chain
// shares; the members marked "locked" run with it held, on either thread.
class CEarMixer
{
public:
    // `rightSynth` null: stereo plays as mono.
    CEarMixer(CRefillChain& left, ISignalGenerator& leftSynth, ISignalGenerator* rightSynth);

    // Stereo was asked for and a right ear can be made.
    bool Wanted(const PlayParameters& params) const;
    // The run's ears: whether it is stereo and each channel's gain (taken
    // under the chain lock); makes the two-channel buffers on first use.
    void SetEars(const PlayParameters& params);
    // Makes the right ear's period when the left one was made now or it was
    // made for other values.
    void SynthesizeRight(const PlayParameters& params, bool leftMadeNow);
    // The right ear's period is ready, or none is needed.
    bool RightReady() const { return !m_rightNoise || m_rightSynth->Ready(); }

    // Settings the right chain follows as the left one does.
    void SetSurf(double strength, double period);
    void SetEndlessTilt(const SpectrumTilt& right);
    void SetStreamEnd(int64_t end, int64_t fade);
    void ClearStreamEnd();

    // The right ear's part of the chain's steps in a stereo noise run.
    void Start(const PlayParameters& run, uint64_t leftSeed);
    void HoldOldSound();
    // Locked.
    void GlideFrom(int64_t from, int type);
    void StopTail(int64_t from, int64_t to);
    void FillHalf(int half);

    // Locked. In stereo, interleaves the ears' samples of a half into the
    // play buffer, or of what the chains made again into the remade buffer.
    void InterleaveHalf(int half);
    void InterleaveRemade(int count);

    int Channels() const { return m_stereoRun ? 2 : 1; }
    int FrameBytes() const { return 2 * Channels(); }
    // What the device plays from: the chain's, or interleaved.
    const int16_t* Buffer() const { return m_stereoRun ? m_stereoBuffer.get() : m_left.Buffer(); }
    // What the device gets made again from: the chain's, or interleaved.
    const int16_t* Remade() const { return m_stereoRun ? m_stereoRemade.get() : m_left.Remade(); }

private:
    void Interleave(const int16_t* left, const int16_t* right, int16_t* out, int count) const;
    const CRefillChain& RightSource() const { return m_rightNoise ? *m_rightChain : m_left; }

    CRefillChain& m_left;
    ISignalGenerator& m_leftSynth;
    ISignalGenerator* m_rightSynth = nullptr;
    std::unique_ptr<CRefillChain> m_rightChain; // shares the left chain's lock
    struct RightMade
    {
        int type;
        double lower, upper;
        NotchBand notch;
    };
    std::optional<RightMade> m_rightMade; // what the right period was made for (UI thread)
    // Guarded by the chain lock.
    bool m_stereoRun = false;  // the run plays two channels
    bool m_rightNoise = false; // the right chain makes the right ear (noise); else the left's tone
    double m_earGain[2] = {1.0, 1.0};
    std::unique_ptr<int16_t[]> m_stereoBuffer; // two interleaved halves; made by the first stereo run
    std::unique_ptr<int16_t[]> m_stereoRemade;
};
