// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

#include "base/progress_sink.h"
#include "base/zeroed_array.h"
#include "synth/hearing_tilt.h"
#include "synth/notch_band.h"
#include "synth/phase_generator.h"

// Builds one period of signal: band-limited noise (262144 samples, peak 10000;
// brown a little lower, see BrownPeak)
// from a random-phase spectrum and an inverse FFT, or one second of sine tone
// (44100 samples, amplitude 3000).
//
// Every buffer is allocated once, in the constructor; nothing allocates later.
// The constant tables are filled by the first Synthesize or Transform.
// The members are public because the playback engine and the file writer work
// on the buffers directly. Not thread-safe: one thread calls Synthesize and
// SynthesizeTone.
class CNoiseSynth
{
public:
    static constexpr int kPeriodSamples = 262144; // 2^18, N
    static constexpr int kToneSamples = 44100;    // one second

    CNoiseSynth();
    ~CNoiseSynth();
    CNoiseSynth(const CNoiseSynth&) = delete;
    CNoiseSynth& operator=(const CNoiseSynth&) = delete;

    // Makes a noise period of type 0..2 or Brown between lower and upper Hz into
    // m_samples and m_source and sets m_ready. lower and upper belong within
    // 0.5 * m_binWidth .. 22050 Hz (bins 0..N/2); a frequency outside still
    // takes its draw but sets no bin. lower > upper, or another type, gives
    // silence.
    // A notch zeroes its bins after every draw, so all other bins keep the
    // phases of the same noise without it. With m_tilt on, every bin is then
    // raised or lowered by the tilt at its frequency, the phases staying,
    // and the period brought to the RMS it would have without the tilt.
    void Synthesize(int type, double lower, double upper, const NotchBand& notch = {});

    // Scales the period in m_samples and m_source to the RMS of `reference`
    // (kPeriodSamples long): the right ear of a stereo sound takes the left's
    // loudness, which scaling each ear to the same peak would miss by up to
    // about a dB.
    void MatchRmsOf(const int16_t* reference);

    // Makes one second of tone into m_samples[0..44099] and copies all of
    // m_samples to m_source. Leaves m_ready as it is.
    void SynthesizeTone(double frequency);

    IProgressSink* m_progress = nullptr; // "Signal Generator Status:"; may be null
    bool m_ready = false;                // a noise period is in m_source
    ZeroedArray<int16_t> m_samples;      // transform output, then the playback halves
    ZeroedArray<int16_t> m_source;       // the unchanging period
    ZeroedArray<double> m_spectrum;      // N complex bins, interleaved re/im
    double m_binWidth;                   // 22050 / 131071 Hz
    int m_size = kPeriodSamples;
    int m_lowBin = 0;
    int m_highBin = 0;
    CPhaseGenerator m_phase; // the run-wide phase generator, seeded once
    SpectrumTilt m_tilt;     // the listener's shape; off by default

    // Completes bins N/2..N-1 to conjugate symmetry. Called by Synthesize.
    void PrepareSpectrum();
    // In-place transform of m_spectrum and normalisation into m_samples.
    void Transform();

private:
    void PostProgress(int position);
    // Bin of frequency f: one below the rounded quotient; INT32_MIN when f
    // is far outside the spectrum.
    int BinOf(double frequency) const;
    // Draws one phase and stores the unit bin at k; out-of-range k keeps the
    // draw but stores nothing.
    void DrawUnitBin(int k);
    void BuildSpectrum(int type, double lower, double upper);
    void CutNotch(const NotchBand& notch);
    void ApplyTilt();
    void MakePeriod(int type, double lower, double upper, const NotchBand& notch, bool tilted);
    double SampleRms() const;
    // Scales m_samples to the given RMS, rounded and saturated.
    void MatchRms(double rms);
    void MakeTables();
    void MakeTwiddles();
    void ReverseBitOrder();
    void RunButterflies();
    void Normalise();

    // cos and sin of every phase draw r * 2pi/32767, r = 0..32767.
    std::unique_ptr<double[]> m_unitBins;
    // The twiddles of every butterfly pass, made once by the pass's own
    // recurrence: pass h (h = 1, 2, .., N/2) holds h pairs (wr, wi) from
    // complex index h - 1 on.
    std::unique_ptr<double[]> m_twiddles;
    bool m_tablesMade = false;
    double m_peakTarget = 10000.0; // the period's largest magnitude; lower for brown
};
