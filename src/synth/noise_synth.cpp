// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/noise_synth.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "synth/brown_noise.h"
#include "synth/noise_type.h"
#include "synth/rounding.h"
#include "synth/sample_rate.h"

namespace
{

constexpr int kN = CNoiseSynth::kPeriodSamples;
constexpr int kHalf = kN / 2;

// The phase step is 2pi/32767, not 2pi/32768: draws 0 and 32767 both mean
// phase 0. Written as the quotient so that it is the same double as the
// formula, 0.00019175345033660654.
const double kPhaseStep = 2.0 * M_PI / 32767.0;
constexpr double kToneAmplitude = 3000.0;

} // namespace

CNoiseSynth::CNoiseSynth()
    : m_samples(MakeZeroedArray<int16_t>(kN)),
      m_source(MakeZeroedArray<int16_t>(kN)),
      m_spectrum(MakeZeroedArray<double>(2 * kN)),
      // The divisor is N/2 - 1 = 131071, not N/2: frequencies map to bins
      // with this width, one below the rounded quotient.
      m_binWidth(22050.0 / (kN * 0.5 - 1.0)),
      m_unitBins(new double[2 * (CPhaseGenerator::kMaxDraw + 1)]),
      m_twiddles(new double[2 * (kN - 1)])
{
    // The tables are filled by the first synthesis: a window that never
    // makes noise should not wait for them at its start.
}

void CNoiseSynth::MakeTables()
{
    if (m_tablesMade)
        return;
    m_tablesMade = true;
    // A draw can only take 32768 values, so their cos and sin are made once;
    // they are the very values cos(r * step) and sin(r * step) would give.
    for (int r = 0; r <= CPhaseGenerator::kMaxDraw; ++r)
    {
        const double phase = r * kPhaseStep;
        m_unitBins[2 * r] = std::cos(phase);
        m_unitBins[2 * r + 1] = std::sin(phase);
    }
    MakeTwiddles();
}

CNoiseSynth::~CNoiseSynth() = default;

void CNoiseSynth::PostProgress(int position)
{
    if (m_progress)
        m_progress->SetPos(position);
}

int CNoiseSynth::BinOf(double frequency) const
{
    const int32_t rounded = RoundHalfAway(frequency / m_binWidth);
    return rounded == INT32_MIN ? INT32_MIN : rounded - 1;
}

void CNoiseSynth::DrawUnitBin(int k)
{
    const int r = m_phase.Next();
    if (k < 0 || k > kHalf)
        return;
    m_spectrum[2 * k] = m_unitBins[2 * r];
    m_spectrum[2 * k + 1] = m_unitBins[2 * r + 1];
}

void CNoiseSynth::BuildSpectrum(int type, double lower, double upper)
{
    double* const x = m_spectrum.get();
    if (type == White || type == Brown)
    {
        // Every bin 0..N/2 is written: a draw inside the band, zero outside.
        const int first = std::max(m_lowBin, 0);
        const int last = std::min(m_highBin, kHalf);
        if (first > last)
        {
            std::fill(x, x + 2 * (kHalf + 1), 0.0);
        }
        else
        {
            std::fill(x, x + 2 * first, 0.0);
            for (int i = first; i <= last; ++i)
                DrawUnitBin(i);
            std::fill(x + 2 * (last + 1), x + 2 * (kHalf + 1), 0.0);
            // Brown takes white's draws and tilts them afterwards.
            if (type == Brown)
            {
                for (int i = first; i <= last; ++i)
                {
                    x[2 * i] *= BrownMagnitude(i);
                    x[2 * i + 1] *= BrownMagnitude(i);
                }
            }
        }
        // The bin counter reaches 100000 once, at bin 99999. Equal bins would
        // divide by zero; the stage is then simply shown as done.
        const double span = static_cast<double>(m_highBin) - static_cast<double>(m_lowBin);
        PostProgress(span == 0.0 ? 5 : TruncToInt(5.0 * 99999 / span));
        return;
    }

    // Doubles 0..N: the imaginary part of the Nyquist bin is set later. Any
    // other type than the noises leaves the spectrum silent.
    std::fill(x, x + kN + 1, 0.0);
    if (!(lower <= upper))
        return;
    // The loop test uses the stepped f; a bin visited twice keeps its last
    // draw. The finiteness test only ends loops on limits far outside the
    // audible range.
    double f = lower;
    if (type == Physiological)
    {
        do
        {
            DrawUnitBin(BinOf(f));
            f = f + 0.1 * std::exp(0.096 + 0.022 * std::sqrt(f));
        } while (f <= upper && std::isfinite(f));
    }
    else if (type == Pink)
    {
        do
        {
            DrawUnitBin(BinOf(f));
            f = f * 1.001;
        } while (f <= upper && std::isfinite(f));
    }
}

void CNoiseSynth::CutNotch(const NotchBand& notch)
{
    if (!notch.on)
        return;
    const int first = std::max(BinOf(notch.Lower()), 0);
    const int last = std::min(BinOf(notch.Upper()), kHalf);
    // Bins 0..N/2 only: the mirror half is made from them afterwards.
    double* const x = m_spectrum.get();
    for (int k = first; k <= last; ++k)
    {
        x[2 * k] = 0.0;
        if (k < kHalf)
            x[2 * k + 1] = 0.0;
    }
}

void CNoiseSynth::ApplyTilt()
{
    if (!m_tilt.On())
        return;
    // A bin's sound is at k * 44100 / N Hz, whatever frequency chose it.
    double* const x = m_spectrum.get();
    for (int k = 0; k <= kHalf; ++k)
    {
        const double gain = m_tilt.GainAt(k * (static_cast<double>(kSampleRate) / kN));
        x[2 * k] *= gain;
        if (k < kHalf)
            x[2 * k + 1] *= gain;
    }
}

void CNoiseSynth::MakePeriod(int type, double lower, double upper, const NotchBand& notch, bool tilted)
{
    BuildSpectrum(type, lower, upper);
    CutNotch(notch);
    if (tilted)
        ApplyTilt();
    PrepareSpectrum();
    Transform();
}

double CNoiseSynth::SampleRms() const
{
    double sum = 0.0;
    for (int n = 0; n < kN; ++n)
        sum += static_cast<double>(m_samples[n]) * m_samples[n];
    return std::sqrt(sum / kN);
}

void CNoiseSynth::MatchRms(double rms)
{
    const double now = SampleRms();
    if (now == 0.0)
        return;
    const double scale = rms / now;
    for (int n = 0; n < kN; ++n)
        m_samples[n] = static_cast<int16_t>(std::clamp(std::lround(scale * m_samples[n]), -32768L, 32767L));
}

void CNoiseSynth::MatchRmsOf(const int16_t* reference)
{
    double sum = 0.0;
    for (int n = 0; n < kN; ++n)
        sum += static_cast<double>(reference[n]) * reference[n];
    MatchRms(std::sqrt(sum / kN));
    std::memcpy(m_source.get(), m_samples.get(), kN * sizeof(int16_t));
}

void CNoiseSynth::Synthesize(int type, double lower, double upper, const NotchBand& notch)
{
    MakeTables();
    m_lowBin = BinOf(lower);
    m_highBin = BinOf(upper);
    m_peakTarget = type == Brown ? BrownPeak(lower, upper) : 10000.0;
    if (m_tilt.On())
    {
        // The peak normalisation alone would let the level drift with the
        // shape: the noise is made once plainly, from the same draws, and
        // the tilted one brought to its RMS.
        const CPhaseGenerator start = m_phase;
        MakePeriod(type, lower, upper, notch, false);
        const double plainRms = SampleRms();
        m_phase = start;
        MakePeriod(type, lower, upper, notch, true);
        MatchRms(plainRms);
    }
    else
    {
        MakePeriod(type, lower, upper, notch, false);
    }
    std::memcpy(m_source.get(), m_samples.get(), kN * sizeof(int16_t));
    m_ready = true;
}

void CNoiseSynth::SynthesizeTone(double frequency)
{
    for (int i = 0; i < kToneSamples; ++i)
        m_samples[i] =
            static_cast<int16_t>(TruncToInt(kToneAmplitude * std::sin((i * frequency) * kTwoPiOverSampleRate)));
    // The whole buffer, as the noise path does; only the first second plays.
    std::memcpy(m_source.get(), m_samples.get(), kN * sizeof(int16_t));
    PostProgress(100);
}
