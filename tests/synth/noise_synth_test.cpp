// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/noise_synth.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "literal_synth.h"
#include "synth/noise_type.h"
#include "testing/file_compare.h"

namespace
{

constexpr int kN = CNoiseSynth::kPeriodSamples;
const std::vector<int> kTransformPositions = {8, 15, 21, 39, 53, 67, 82, 100};

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
    CNoiseSynth& m_synth;
    std::vector<int> m_positions;
    std::vector<double> m_halfSpectrum;
};

TEST(PhaseGenerator, FirstDrawsOfARunAreFixed)
{
    CPhaseGenerator phases;
    for (int draw : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(phases.Next(), draw);
}

TEST(NoiseSynth, PeriodMatchesTheLiteralComputationBitForBit)
{
    const struct
    {
        int type;
        double lower;
        double upper;
    } cases[] = {
        {Physiological, 20, 20000}, {White, 20, 20000}, {Pink, 20, 20000},   {White, 0.09, 22050},
        {Physiological, 100, 5000}, {Pink, 1000, 1000}, {White, 1000, 1000}, {Physiological, 1000, 1000},
        {White, 5000, 1000},        {Pink, 5000, 1000},
    };
    auto synth = std::make_unique<CNoiseSynth>();
    CSpectrumProbe probe(*synth);
    auto spectrum = std::make_unique<double[]>(2 * kN);
    auto samples = std::make_unique<int16_t[]>(kN);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.lower << ".." << c.upper);
        // The same synthesizer throughout: later cases continue the draws.
        CPhaseGenerator phases = synth->m_phase;
        std::fill(spectrum.get(), spectrum.get() + 2 * kN, 0.0);
        LiteralSpectrum(c.type, c.lower, c.upper, phases, spectrum.get());
        probe.m_positions.clear();
        synth->m_ready = false;
        synth->Synthesize(c.type, c.lower, c.upper);

        EXPECT_TRUE(SameBytes(probe.m_halfSpectrum.data(), spectrum.get(), kN * sizeof(double)));
        LiteralTransform(spectrum.get(), samples.get());
        EXPECT_TRUE(SameBytes(synth->m_spectrum.get(), spectrum.get(), 2 * kN * sizeof(double)));
        EXPECT_TRUE(SameBytes(synth->m_samples.get(), samples.get(), kN * sizeof(int16_t)));
        EXPECT_TRUE(SameBytes(synth->m_source.get(), samples.get(), kN * sizeof(int16_t)));
        EXPECT_EQ(synth->m_phase.Next(), phases.Next());
        EXPECT_TRUE(synth->m_ready);
        // White divides by the bin span; the bar must stay in range.
        for (int position : probe.m_positions)
            EXPECT_TRUE(c.lower > c.upper || (position >= 0 && position <= 100)) << position;
        EXPECT_EQ(probe.m_positions.back(), 100);
    }
}

// FNV-1a over the period's little-endian bytes.
uint64_t Fingerprint(const int16_t* samples)
{
    uint64_t hash = 14695981039346656037ull;
    for (int n = 0; n < kN; ++n)
    {
        const auto value = static_cast<uint16_t>(samples[n]);
        for (int byte : {value & 0xFF, value >> 8})
            hash = (hash ^ static_cast<uint64_t>(byte)) * 1099511628211ull;
    }
    return hash;
}

TEST(NoiseSynth, AudibleRangeSetsTheExpectedBinsAndPostsProgressAndAPinnedPeriod)
{
    const struct
    {
        int type;
        int draws;
        int count;
        int highest;
        uint64_t fingerprint;
    } expectations[] = {
        {White, 118767, 118767, 118884, 0xc20d51616162cdaeull},
        {Physiological, 30497, 30199, 118880, 0x136ed40b1b040c11ull},
        {Pink, 6912, 5662, 118859, 0x7950d3d76a7de4b8ull},
        {Brown, 118767, 118767, 118884, 0x389bbdb8f0aa9229ull},
    };
    for (const auto& e : expectations)
    {
        SCOPED_TRACE(NoiseTypeName(e.type));
        auto synth = std::make_unique<CNoiseSynth>();
        CSpectrumProbe probe(*synth);
        CPhaseGenerator phases = synth->m_phase;
        synth->Synthesize(e.type, 20, 20000);
        // One draw per visited frequency or in-band bin, no more, no fewer.
        for (int i = 0; i < e.draws; ++i)
            phases.Next();
        EXPECT_EQ(phases.Next(), synth->m_phase.Next());
        EXPECT_EQ(synth->m_lowBin, 118);
        EXPECT_EQ(synth->m_highBin, 118884);
        std::vector<int> bins; // bins below N/2 that the spectrum step set
        for (int k = 0; k < kN / 2; ++k)
            if (probe.m_halfSpectrum[2 * k] != 0.0 || probe.m_halfSpectrum[2 * k + 1] != 0.0)
                bins.push_back(k);
        ASSERT_EQ(static_cast<int>(bins.size()), e.count);
        EXPECT_EQ(bins.front(), 118);
        EXPECT_EQ(bins.back(), e.highest);
        std::vector<int> positions = kTransformPositions;
        if (e.type == White || e.type == Brown)
            positions.insert(positions.begin(), 4);
        EXPECT_EQ(probe.m_positions, positions);
        // Pinned so that a compiler flag that fuses or reorders floating-point
        // operations shows up even where the literal reference would drift too.
        EXPECT_EQ(Fingerprint(synth->m_source.get()), e.fingerprint);
    }
}

TEST(NoiseSynthTone, SamplesFollowTheTruncatedSine)
{
    auto synth = std::make_unique<CNoiseSynth>();
    CSpectrumProbe probe(*synth);
    synth->SynthesizeTone(1000);
    const int16_t at1000[] = {0, 425, 843, 1243, 1618, 1960};
    EXPECT_TRUE(SameBytes(synth->m_samples.get(), at1000, sizeof at1000));
    EXPECT_FALSE(synth->m_ready);

    synth->m_ready = true;
    synth->SynthesizeTone(440);
    const int16_t at440[] = {0, 187, 375, 560, 744, 925};
    EXPECT_TRUE(SameBytes(synth->m_samples.get(), at440, sizeof at440));
    EXPECT_TRUE(synth->m_ready) << "the noise period stays ready for Play";
    EXPECT_EQ(*std::max_element(synth->m_samples.get(), synth->m_samples.get() + CNoiseSynth::kToneSamples), 2999);
    EXPECT_TRUE(SameBytes(synth->m_source.get(), synth->m_samples.get(), kN * sizeof(int16_t)));
    EXPECT_EQ(probe.m_positions, (std::vector<int>{100, 100}));
}

} // namespace
