// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/endless_noise.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include <fftw3.h>

#include "synth/brown_noise.h"
#include "synth/noise_type.h"
#include "synth/rounding.h"

namespace
{

constexpr int kN = CEndlessSpectrum::kPeriodSamples;
constexpr int kHalf = kN / 2;
constexpr int kX = CEndlessSpectrum::kCrossfadeSamples;
constexpr int kDraws = 32768;

// The same bin width and mapping as CNoiseSynth: one below the rounded
// quotient by 22050 / 131071.
const double kBinWidth = 22050.0 / (kN * 0.5 - 1.0);

int BinOf(double frequency)
{
    const int32_t rounded = RoundHalfAway(frequency / kBinWidth);
    return rounded == INT32_MIN ? INT32_MIN : rounded - 1;
}

uint64_t Mix(uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// splitmix64, started from a state that depends on the seed and the period
// index alone.
class CPeriodDraws
{
public:
    CPeriodDraws(uint64_t seed, uint64_t k) : m_state(Mix(seed + 0x9E3779B97F4A7C15ULL) ^ Mix(~k)) {}
    int Next()
    {
        m_state += 0x9E3779B97F4A7C15ULL;
        return static_cast<int>(Mix(m_state) >> 49); // 15 bits
    }

private:
    uint64_t m_state;
};

// One plan for every thread: FFTW's planner is not thread-safe, its
// new-array execute is. FFTW_ESTIMATE picks the same plan on every run, so
// the samples do not depend on timing.
fftw_plan SharedPlan()
{
    static std::mutex mutex;
    static fftw_plan plan = nullptr;
    std::lock_guard lock(mutex);
    if (plan == nullptr)
    {
        fftw_complex* in = fftw_alloc_complex(kHalf + 1);
        double* out = fftw_alloc_real(kN);
        plan = fftw_plan_dft_c2r_1d(kN, in, out, FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
        fftw_free(in);
        fftw_free(out);
    }
    return plan;
}

inline int16_t Saturate(double v)
{
    v = std::clamp(v, -32768.0, 32767.0);
    return static_cast<int16_t>(static_cast<int32_t>(v));
}

} // namespace

CEndlessSpectrum::CEndlessSpectrum()
    : m_visited(kHalf + 1, 0), m_unitBins(new double[2 * kDraws]), m_fadeIn(kX), m_fadeOut(kX)
{
    m_bins.reserve(kHalf + 1);
    m_magnitudes.reserve(kHalf + 1);
    m_gains.reserve(kHalf + 1);
    const double step = 2.0 * M_PI / kDraws;
    for (int r = 0; r < kDraws; ++r)
    {
        m_unitBins[2 * r] = std::cos(r * step);
        m_unitBins[2 * r + 1] = std::sin(r * step);
    }
    for (int i = 0; i < kX; ++i)
    {
        const double t = (i + 0.5) / kX;
        m_fadeIn[static_cast<size_t>(i)] = std::sin(0.5 * M_PI * t);
        m_fadeOut[static_cast<size_t>(i)] = std::cos(0.5 * M_PI * t);
    }
}

CEndlessSpectrum::~CEndlessSpectrum() = default;

void CEndlessSpectrum::Reset(int type, double lower, double upper, uint64_t seed, const NotchBand& notch)
{
    m_seed = seed;
    m_scale = 0.0;
    m_peakTarget = type == Brown ? BrownPeak(lower, upper) : 10000.0;
    m_bins.clear();
    m_magnitudes.clear();
    std::fill(m_visited.begin(), m_visited.end(), 0);
    const auto visit = [this](int k) {
        if (k >= 0 && k <= kHalf)
            m_visited[static_cast<size_t>(k)] = 1;
    };

    // The walks are CNoiseSynth's: a bin visited twice still sounds once.
    if (type == White || type == Brown)
    {
        const int first = std::max(BinOf(lower), 0);
        const int last = std::min(BinOf(upper), kHalf);
        for (int k = first; k <= last; ++k)
            visit(k);
    }
    else if ((type == Physiological || type == Pink) && lower <= upper)
    {
        double f = lower;
        do
        {
            visit(BinOf(f));
            f = type == Pink ? f * 1.001 : f + 0.1 * std::exp(0.096 + 0.022 * std::sqrt(f));
        } while (f <= upper && std::isfinite(f));
    }
    if (notch.on)
    {
        const int first = std::max(BinOf(notch.Lower()), 0);
        const int last = std::min(BinOf(notch.Upper()), kHalf);
        for (int k = first; k <= last; ++k)
            m_visited[static_cast<size_t>(k)] = 0;
    }
    for (int k = 0; k <= kHalf; ++k)
    {
        if (m_visited[static_cast<size_t>(k)])
        {
            m_bins.push_back(k);
            m_magnitudes.push_back(type == Brown ? BrownMagnitude(k) : 1.0);
        }
    }
    m_gains.clear();
    if (m_tilt.On())
        for (int k : m_bins)
            m_gains.push_back(m_tilt.GainAt(k * (44100.0 / kN)));
}

CEndlessWorkspace::CEndlessWorkspace() : m_bins(fftw_alloc_complex(kHalf + 1)), m_raw(fftw_alloc_real(kN))
{
    SharedPlan();
}

CEndlessWorkspace::~CEndlessWorkspace()
{
    fftw_free(m_bins);
    fftw_free(m_raw);
}

void CEndlessWorkspace::MakeRaw(const CEndlessSpectrum& spectrum, uint64_t k)
{
    auto* bins = static_cast<fftw_complex*>(m_bins);
    std::memset(bins, 0, sizeof(fftw_complex) * (kHalf + 1));
    CPeriodDraws draws(spectrum.Seed(), k);
    for (int i = 0; i < spectrum.BinCount(); ++i)
    {
        const int bin = spectrum.Bin(i);
        const double* unit = spectrum.UnitBin(draws.Next());
        // A magnitude or a gain of 1 changes no bit of the unit bin.
        const double magnitude = spectrum.Magnitude(i);
        const double gain = spectrum.Gain(i);
        if (bin == 0 || bin == kHalf)
        {
            // These two bins are real; the Nyquist bin stands for both of
            // its mirror halves, as CNoiseSynth doubles it.
            bins[bin][0] = (bin == 0 ? unit[0] : 2.0 * unit[0]) * magnitude * gain;
            bins[bin][1] = 0.0;
        }
        else
        {
            bins[bin][0] = unit[0] * magnitude * gain;
            bins[bin][1] = unit[1] * magnitude * gain;
        }
    }
    fftw_execute_dft_c2r(SharedPlan(), bins, m_raw);
}

double CEndlessWorkspace::Peak() const
{
    double peak = 0.0;
    for (int i = 0; i < kN; ++i)
        peak = std::max(peak, std::fabs(m_raw[i]));
    return peak;
}

double CEndlessWorkspace::Rms() const
{
    double sum = 0.0;
    for (int i = 0; i < kN; ++i)
        sum += m_raw[i] * m_raw[i];
    return std::sqrt(sum / kN);
}

void StartEndlessSpectrum(CEndlessSpectrum& spectrum, CEndlessWorkspace& workspace, int type, double lower,
                          double upper, uint64_t seed, const NotchBand& notch, std::optional<uint64_t> levelSeed)
{
    const SpectrumTilt tilt = spectrum.Tilt();
    if (tilt.On() || levelSeed)
    {
        // Peak normalisation alone would let the level drift with the shape.
        spectrum.SetTilt({});
        spectrum.Reset(type, lower, upper, levelSeed.value_or(seed), notch);
        workspace.MakeRaw(spectrum, 0);
        const double plainScale = EndlessScale(workspace.Peak(), spectrum.PeakTarget());
        const double plainRms = workspace.Rms();
        spectrum.SetTilt(tilt);
        spectrum.Reset(type, lower, upper, seed, notch);
        workspace.MakeRaw(spectrum, 0);
        const double rms = workspace.Rms();
        spectrum.SetScale(rms > 0.0 ? plainScale * plainRms / rms : 0.0);
        return;
    }
    spectrum.Reset(type, lower, upper, seed, notch);
    workspace.MakeRaw(spectrum, 0);
    spectrum.SetScale(EndlessScale(workspace.Peak(), spectrum.PeakTarget()));
}

double EndlessScale(double peakOfFirstPeriod, double peakTarget)
{
    return peakOfFirstPeriod > 0.0 ? peakTarget / peakOfFirstPeriod : 0.0;
}

void FormEndlessPeriod(const CEndlessSpectrum& spectrum, const double* raw, const double* previousHead, int16_t* out)
{
    const double scale = spectrum.Scale();
    int i = 0;
    if (previousHead != nullptr)
    {
        for (; i < kX; ++i)
            out[i] = Saturate(scale * (spectrum.FadeIn(i) * raw[i] + spectrum.FadeOut(i) * previousHead[i]));
    }
    for (; i < kN; ++i)
        out[i] = Saturate(scale * raw[i]);
}

CEndlessNoise::CEndlessNoise() : m_head(new double[kX]()) {}

CEndlessNoise::~CEndlessNoise() = default;

void CEndlessNoise::Start(int type, double lower, double upper, uint64_t seed, const NotchBand& notch,
                          std::optional<uint64_t> levelSeed)
{
    StartEndlessSpectrum(m_spectrum, m_workspace, type, lower, upper, seed, notch, levelSeed);
    m_next = 0;
    m_firstMade = true;
}

void CEndlessNoise::Next(int16_t* out)
{
    if (m_next != 0 || !m_firstMade)
        m_workspace.MakeRaw(m_spectrum, m_next);
    m_firstMade = false;
    FormEndlessPeriod(m_spectrum, m_workspace.Raw(), m_next == 0 ? nullptr : m_head.get(), out);
    std::memcpy(m_head.get(), m_workspace.Raw(), sizeof(double) * kX);
    ++m_next;
}
