#include "synth/noise_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "literal_synth.h"
#include "synth/noise_type.h"

namespace {

constexpr int kN = CNoiseSynth::kPeriodSamples;

// Records the positions; at position 8 (the mirror step, when bins 0..N/2-1
// are still the freshly built spectrum) it keeps a copy of those bins.
class CSpectrumProbe : public IProgressSink
{
public:
    explicit CSpectrumProbe(CNoiseSynth& synth) : m_synth(synth) { m_synth.m_progress = this; }
    void SetPos(int position) override
    {
        m_positions.push_back(position);
        if (position == 8)
            m_halfSpectrum.assign(m_synth.m_spectrum.get(), m_synth.m_spectrum.get() + kN);
    }

    // Bins below N/2 that the spectrum step set, as (count, lowest, highest).
    std::vector<int> SetBins() const
    {
        std::vector<int> bins;
        for (int k = 0; k < kN / 2; ++k)
            if (m_halfSpectrum[2 * k] != 0.0 || m_halfSpectrum[2 * k + 1] != 0.0)
                bins.push_back(k);
        return bins;
    }

    CNoiseSynth& m_synth;
    std::vector<int> m_positions;
    std::vector<double> m_halfSpectrum;
};

bool SameBits(const double* a, const double* b, int count)
{
    return std::memcmp(a, b, count * sizeof(double)) == 0;
}

int PeakMagnitude(const int16_t* samples, int count)
{
    int peak = 0;
    for (int n = 0; n < count; ++n)
        peak = std::max(peak, std::abs(static_cast<int>(samples[n])));
    return peak;
}

struct Case
{
    int type;
    double lower;
    double upper;
};

TEST(NoiseSynth, PeriodMatchesTheLiteralComputationBitForBit)
{
    const Case cases[] = {
        {Physiological, 20, 20000}, {White, 20, 20000}, {Pink, 20, 20000},
        {White, 0.09, 22050},       {Physiological, 100, 5000}, {Pink, 1000, 1000},
    };
    auto synth = std::make_unique<CNoiseSynth>();
    CSpectrumProbe probe(*synth);
    auto spectrum = std::make_unique<double[]>(2 * kN);
    auto samples = std::make_unique<int16_t[]>(kN);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.lower << ".." << c.upper);
        // The same synthesizer throughout: later cases continue the draws.
        CPhaseGenerator phases = synth->m_phase;
        std::fill(spectrum.get(), spectrum.get() + 2 * kN, 0.0);
        LiteralSpectrum(c.type, c.lower, c.upper, phases, spectrum.get());
        synth->Synthesize(c.type, c.lower, c.upper);

        EXPECT_TRUE(SameBits(probe.m_halfSpectrum.data(), spectrum.get(), kN));
        LiteralTransform(spectrum.get(), samples.get());
        EXPECT_TRUE(SameBits(synth->m_spectrum.get(), spectrum.get(), 2 * kN));
        EXPECT_EQ(std::memcmp(synth->m_samples.get(), samples.get(), kN * sizeof(int16_t)), 0);
        EXPECT_EQ(std::memcmp(synth->m_source.get(), samples.get(), kN * sizeof(int16_t)), 0);
        EXPECT_EQ(synth->m_phase.Next(), phases.Next());
    }
}

TEST(NoiseSynth, AudibleRangeSetsTheExpectedBinsAndPostsProgress)
{
    struct Expectation
    {
        int type;
        int count;
        int highest;
        std::vector<int> positions;
    };
    const std::vector<int> transform = {8, 15, 21, 39, 53, 67, 82, 100};
    std::vector<int> white = {4};
    white.insert(white.end(), transform.begin(), transform.end());
    const Expectation expectations[] = {
        {White, 118767, 118884, white},
        {Physiological, 30199, 118880, transform},
        {Pink, 5662, 118859, transform},
    };
    for (const Expectation& e : expectations)
    {
        SCOPED_TRACE(NoiseTypeName(e.type));
        auto synth = std::make_unique<CNoiseSynth>();
        CSpectrumProbe probe(*synth);
        synth->Synthesize(e.type, 20, 20000);
        EXPECT_EQ(synth->m_lowBin, 118);
        EXPECT_EQ(synth->m_highBin, 118884);
        const std::vector<int> bins = probe.SetBins();
        ASSERT_EQ(static_cast<int>(bins.size()), e.count);
        EXPECT_EQ(bins.front(), 118);
        EXPECT_EQ(bins.back(), e.highest);
        EXPECT_EQ(probe.m_positions, e.positions);
        EXPECT_TRUE(synth->m_ready);
        // 1/P times P may round just below 1, and truncation then gives 9999.
        EXPECT_GE(PeakMagnitude(synth->m_samples.get(), kN), 9999);
        EXPECT_LE(PeakMagnitude(synth->m_samples.get(), kN), 10000);
    }
}

TEST(NoiseSynth, EqualLimitsGiveOneSinusoidPeakingAt10000)
{
    for (int type : {Physiological, White, Pink})
    {
        SCOPED_TRACE(NoiseTypeName(type));
        auto synth = std::make_unique<CNoiseSynth>();
        CSpectrumProbe probe(*synth);
        synth->Synthesize(type, 1000, 1000);
        const std::vector<int> bins = probe.SetBins();
        ASSERT_EQ(bins.size(), 1u);
        EXPECT_EQ(bins[0], synth->m_lowBin);
        EXPECT_GE(PeakMagnitude(synth->m_samples.get(), kN), 9999);
        EXPECT_LE(PeakMagnitude(synth->m_samples.get(), kN), 10000);
        // White divides by the bin span there; the bar must stay in range.
        EXPECT_GE(probe.m_positions.front(), 0);
        EXPECT_LE(probe.m_positions.front(), 100);
    }
}

TEST(NoiseSynth, LowerAboveUpperGivesSilenceAndAReadyPeriod)
{
    for (int type : {Physiological, White, Pink})
    {
        SCOPED_TRACE(NoiseTypeName(type));
        auto synth = std::make_unique<CNoiseSynth>();
        CSpectrumProbe probe(*synth);
        synth->Synthesize(type, 5000, 1000);
        EXPECT_TRUE(synth->m_ready);
        EXPECT_EQ(PeakMagnitude(synth->m_samples.get(), kN), 0);
        EXPECT_EQ(PeakMagnitude(synth->m_source.get(), kN), 0);
        EXPECT_EQ(probe.m_positions.back(), 100);
    }
}

TEST(NoiseSynth, FirstPeriodRepeatsInEveryRunAndTheNextDiffers)
{
    auto first = std::make_unique<CNoiseSynth>();
    auto second = std::make_unique<CNoiseSynth>();
    first->Synthesize(White, 100, 8000);
    second->Synthesize(White, 100, 8000);
    EXPECT_EQ(std::memcmp(first->m_source.get(), second->m_source.get(), kN * sizeof(int16_t)), 0);

    std::vector<int16_t> before(first->m_source.get(), first->m_source.get() + kN);
    first->Synthesize(White, 100, 8000);
    EXPECT_NE(std::memcmp(first->m_source.get(), before.data(), kN * sizeof(int16_t)), 0);
    EXPECT_EQ(std::memcmp(first->m_source.get(), first->m_samples.get(), kN * sizeof(int16_t)), 0);
}

// Runs the transform alone on a spectrum with the given bins set.
class CTransformFixture : public testing::Test
{
protected:
    CTransformFixture() : m_probe(*m_synth) { std::fill(m_x, m_x + 2 * kN, 0.0); }
    void Run()
    {
        m_synth->PrepareSpectrum();
        m_synth->Transform();
    }
    int16_t Sample(int n) const { return m_synth->m_samples[n]; }

    std::unique_ptr<CNoiseSynth> m_synth = std::make_unique<CNoiseSynth>();
    CSpectrumProbe m_probe;
    double* m_x = m_synth->m_spectrum.get();
};

TEST_F(CTransformFixture, ZeroSpectrumGivesSilenceAndStillPostsEveryPosition)
{
    Run();
    EXPECT_EQ(PeakMagnitude(m_synth->m_samples.get(), kN), 0);
    EXPECT_EQ(m_probe.m_positions, (std::vector<int>{8, 15, 21, 39, 53, 67, 82, 100}));
}

TEST_F(CTransformFixture, DirectCurrentBinGivesAConstantPeriod)
{
    m_x[0] = 1.0;
    Run();
    for (int n = 0; n < kN; ++n)
        ASSERT_EQ(Sample(n), 10000) << n;
}

TEST_F(CTransformFixture, NyquistBinAlternatesSign)
{
    m_x[kN] = 1.0;
    Run();
    for (int n = 0; n < kN; ++n)
        ASSERT_EQ(Sample(n), n % 2 ? -10000 : 10000) << n;
}

TEST_F(CTransformFixture, SingleBinGivesItsCosineRunningForwardInTime)
{
    // x[n] = 2 cos(phi - 2 pi k n / N): the sign of the exponent decides
    // whether the phase is added or subtracted.
    const int k = 5;
    const double phi = 0.7;
    m_x[2 * k] = std::cos(phi);
    m_x[2 * k + 1] = std::sin(phi);
    Run();
    double peak = 0.0;
    for (int n = 0; n < kN; ++n)
        peak = std::max(peak, std::fabs(std::cos(phi - 2 * M_PI * k * n / kN)));
    for (int n = 0; n < kN; n += 97)
        ASSERT_NEAR(Sample(n), 10000 * std::cos(phi - 2 * M_PI * k * n / kN) / peak, 1.0) << n;
}

TEST_F(CTransformFixture, FirstBinGivesOneCosineCycle)
{
    m_x[2] = 1.0;
    Run();
    EXPECT_EQ(Sample(0), 10000);
    EXPECT_LE(std::abs(Sample(kN / 4)), 1);
    EXPECT_EQ(Sample(kN / 2), -10000);
}

TEST(NoiseSynthTone, SamplesFollowTheTruncatedSine)
{
    auto synth = std::make_unique<CNoiseSynth>();
    CSpectrumProbe probe(*synth);
    synth->SynthesizeTone(1000);
    const int16_t at1000[] = {0, 425, 843, 1243, 1618, 1960};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(synth->m_samples[i], at1000[i]) << i;
    EXPECT_FALSE(synth->m_ready);

    synth->m_ready = true;
    synth->SynthesizeTone(440);
    const int16_t at440[] = {0, 187, 375, 560, 744, 925};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(synth->m_samples[i], at440[i]) << i;
    EXPECT_TRUE(synth->m_ready);
    EXPECT_EQ(PeakMagnitude(synth->m_samples.get(), CNoiseSynth::kToneSamples), 2999);
    EXPECT_EQ(std::memcmp(synth->m_source.get(), synth->m_samples.get(), kN * sizeof(int16_t)), 0);
    EXPECT_EQ(probe.m_positions, (std::vector<int>{100, 100}));
}

} // namespace
