// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <memory>
#include <vector>

#include "synth/hearing_tilt.h"
#include "synth/notch_band.h"

// Noise that never repeats: every period of 262144 samples is drawn afresh
// with the bins that CNoiseSynth sets for the same type and band, each with
// a new random phase, and the periods are joined by an equal-power crossfade.
//
// A raw period P_k is circular, so P_{k-1}[0..X) is what would have followed
// the end of P_{k-1}. Output period O_k is P_k, except that its first X
// samples fade from P_{k-1}[i] (cos) to P_k[i] (sin): the join is seamless
// and the power stays level through it. O_0 is P_0 as it is. All raw periods
// of one spectrum carry the same energy (fixed magnitudes, random phases),
// so one scale, set by the peak of P_0, keeps the level steady for the run.
//
// The phases of period k come from a generator seeded by (seed, k) alone,
// so periods can be made in any order and on any thread, and a seed gives
// the same samples on every run of the same build.

// The bins, phases and scale of one run. Reset on one thread; afterwards
// only read, so any number of threads may make periods from it at once.
class CEndlessSpectrum
{
public:
    static constexpr int kPeriodSamples = 262144;
    // Half a second: long enough that no seam is heard, short enough that
    // O_k and O_{k+1}, which share P_k through it, stay apart (their
    // correlation is about 0.32 X / N).
    static constexpr int kCrossfadeSamples = 22050;

    CEndlessSpectrum();
    ~CEndlessSpectrum();
    CEndlessSpectrum(const CEndlessSpectrum&) = delete;
    CEndlessSpectrum& operator=(const CEndlessSpectrum&) = delete;

    // Takes the bins of noise type 0..2 or Brown between lower and upper Hz, as
    // CNoiseSynth::Synthesize sets them; another type or an empty band is
    // silence. The bins of the notch stay silent. The scale is 0 until
    // SetScale. Allocates nothing.
    void Reset(int type, double lower, double upper, uint64_t seed, const NotchBand& notch = {});
    void SetScale(double scale) { m_scale = scale; }
    // The listener's shape for the following Resets: each sounding bin is
    // raised or lowered by the tilt at its frequency. Off by default.
    void SetTilt(const SpectrumTilt& tilt) { m_tilt = tilt; }
    const SpectrumTilt& Tilt() const { return m_tilt; }
    // The amplitude of sounding bin i: 1 without a tilt.
    double Gain(int i) const { return m_gains.empty() ? 1.0 : m_gains[static_cast<size_t>(i)]; }

    double Scale() const { return m_scale; }
    // The peak P_0 is scaled to: 10000, lower for brown (see BrownPeak).
    double PeakTarget() const { return m_peakTarget; }
    uint64_t Seed() const { return m_seed; }
    int BinCount() const { return static_cast<int>(m_bins.size()); }
    int Bin(int i) const { return m_bins[static_cast<size_t>(i)]; }
    // The magnitude of the i-th sounding bin: 1, or Brown's tilt.
    double Magnitude(int i) const { return m_magnitudes[static_cast<size_t>(i)]; }
    // cos and sin of phase draw r, r = 0..32767.
    const double* UnitBin(int r) const { return m_unitBins.get() + 2 * r; }
    // The crossfade's weights at sample i < X: the new period's, the old one's.
    double FadeIn(int i) const { return m_fadeIn[static_cast<size_t>(i)]; }
    double FadeOut(int i) const { return m_fadeOut[static_cast<size_t>(i)]; }

private:
    std::vector<int> m_bins;          // sounding bins 0..N/2, ascending
    std::vector<double> m_magnitudes; // one for each of m_bins
    std::vector<double> m_gains;      // per sounding bin with a tilt; else empty
    SpectrumTilt m_tilt;
    std::vector<unsigned char> m_visited; // N/2 + 1 marks, to collect m_bins once each
    std::unique_ptr<double[]> m_unitBins;
    std::vector<double> m_fadeIn;
    std::vector<double> m_fadeOut;
    uint64_t m_seed = 0;
    double m_scale = 0.0;
    double m_peakTarget = 10000.0;
};

// The transform buffers of one thread. MakeRaw is thread-safe across
// workspaces; one workspace serves one thread at a time.
class CEndlessWorkspace
{
public:
    CEndlessWorkspace();
    ~CEndlessWorkspace();
    CEndlessWorkspace(const CEndlessWorkspace&) = delete;
    CEndlessWorkspace& operator=(const CEndlessWorkspace&) = delete;

    // Makes the unscaled raw period P_k of spectrum into Raw(). Allocates
    // nothing (the transform library may use its own scratch).
    void MakeRaw(const CEndlessSpectrum& spectrum, uint64_t k);
    const double* Raw() const { return m_raw; }
    // The largest magnitude in Raw().
    double Peak() const;
    // The root mean square of Raw().
    double Rms() const;

private:
    void* m_bins;  // N/2 + 1 complex values
    double* m_raw; // N real values
};

// O_k into out (N samples): raw (P_k) scaled and saturated to 16 bits, its
// first X samples crossfaded from previousHead (P_{k-1}[0..X), unscaled);
// no crossfade when previousHead is null.
void FormEndlessPeriod(const CEndlessSpectrum& spectrum, const double* raw, const double* previousHead, int16_t* out);

// The scale that puts the peak of P_0 at peakTarget (the spectrum's
// PeakTarget), as CNoiseSynth's periods are; 0 for silence.
double EndlessScale(double peakOfFirstPeriod, double peakTarget);

// Resets spectrum for a run, makes P_0 into workspace and sets the scale
// from it (EndlessScale). With a tilt, the scale is that of the same run
// without it, times the ratio of their RMS, so the level stays the same.
// With levelSeed (the left ear's seed, for the right ear), the scale is
// taken from that seed's untilted P_0 instead: the two ears' raw periods
// have the same RMS, so they play equally loud, where each ear's own peak
// would set them up to about a dB apart.
void StartEndlessSpectrum(CEndlessSpectrum& spectrum, CEndlessWorkspace& workspace, int type, double lower,
                          double upper, uint64_t seed, const NotchBand& notch,
                          std::optional<uint64_t> levelSeed = std::nullopt);

// Makes the output periods one after the other, for playback. Everything is
// allocated in the constructor; Start and Next allocate nothing. One thread
// at a time.
class CEndlessNoise
{
public:
    static constexpr int kPeriodSamples = CEndlessSpectrum::kPeriodSamples;

    CEndlessNoise();
    ~CEndlessNoise();
    CEndlessNoise(const CEndlessNoise&) = delete;
    CEndlessNoise& operator=(const CEndlessNoise&) = delete;

    // Begins a run: the bins of the type and band, the seed, and the scale
    // from P_0. The next period made is O_0.
    // levelSeed: see StartEndlessSpectrum.
    void Start(int type, double lower, double upper, uint64_t seed, const NotchBand& notch = {},
               std::optional<uint64_t> levelSeed = std::nullopt);
    // The listener's shape from the next Start on.
    void SetTilt(const SpectrumTilt& tilt) { m_spectrum.SetTilt(tilt); }
    // Makes the next output period into out (N samples).
    void Next(int16_t* out);

private:
    CEndlessSpectrum m_spectrum;
    CEndlessWorkspace m_workspace;
    std::unique_ptr<double[]> m_head; // P_{k-1}[0..X)
    uint64_t m_next = 0;
    bool m_firstMade = false; // P_0 already sits in the workspace
};
