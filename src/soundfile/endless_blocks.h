// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <optional>
#include <memory>
#include <mutex>

#include "synth/endless_noise.h"

// The periods of an endless sound file, one per block of 262144 samples,
// made by whichever thread computes the block. Block b needs P_b whole and
// the first second of P_{b-1}: each block keeps the head of its own raw
// period for the next one, so no period is made twice.
//
// Threading: Start on one thread while no Make runs. Make(b) may run on
// several threads at once for blocks fewer than kSlots apart, each block
// once, in any order of completion, provided Make(b - 1) has been called or
// will be by another thread (the writer hands blocks out in order). All
// memory is allocated in the constructor.
class CEndlessBlocks
{
public:
    static constexpr int kSlots = 4; // blocks in flight at most, as the writer has slots

    CEndlessBlocks();
    ~CEndlessBlocks();
    CEndlessBlocks(const CEndlessBlocks&) = delete;
    CEndlessBlocks& operator=(const CEndlessBlocks&) = delete;

    // Begins a file of noise type 0..2 in the band, drawn from seed. Makes
    // P_0 here for the run's scale.
    // levelSeed: the left ear's seed for the right ear (StartEndlessSpectrum).
    void Start(int type, double lower, double upper, uint64_t seed, const NotchBand& notch = {},
               std::optional<uint64_t> levelSeed = std::nullopt);
    // The listener's shape from the next Start on; off by default.
    void SetTilt(const SpectrumTilt& tilt) { m_spectrum.SetTilt(tilt); }

    // Makes O_b and returns it (262144 samples), valid until Make(b + kSlots).
    // Waits while another thread is still making the head of block b - 1.
    const int16_t* Make(int64_t b);

private:
    static constexpr int kHeads = kSlots + 1;

    CEndlessSpectrum m_spectrum;
    std::unique_ptr<CEndlessWorkspace[]> m_workspaces; // one per slot
    std::unique_ptr<int16_t[]> m_periods;              // kSlots output periods
    std::unique_ptr<double[]> m_heads;                 // kHeads heads of raw periods
    std::mutex m_mutex;
    std::condition_variable m_headDone;
    int64_t m_headBlock[kHeads] = {}; // the block whose head each holds; -1 none
    bool m_firstMade = false;         // P_0 waits in workspace 0
};
