// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "sound_measure.h"
#include "synth/endless_noise.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"
#include "testing/param_name.h"

namespace
{

constexpr int kN = 262144;
constexpr double kRate = 44100.0;

std::vector<double> ToDoubles(const int16_t* samples)
{
    return std::vector<double>(samples, samples + kN);
}

// One period: the repeated noise's, or the first of an endless run.
std::vector<double> Period(CNoiseSynth& synth, int type, bool endless, double lower, double upper, uint64_t seed = 5)
{
    if (!endless)
    {
        synth.Synthesize(type, lower, upper);
        return ToDoubles(synth.m_source.get());
    }
    auto noise = std::make_unique<CEndlessNoise>();
    std::vector<int16_t> out(kN);
    noise->Start(type, lower, upper, seed);
    noise->Next(out.data());
    return ToDoubles(out.data());
}

// Least-squares slope, in dB per octave, of the mean power per bin in the
// third-octave bands centred on 250 Hz .. 8 kHz. The period repeats, so one
// transform of it holds each bin's power without leakage.
double ThirdOctaveSlope(const std::vector<double>& period)
{
    const std::vector<double> power = SegmentPower(period, 0, kN, kN);
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    const int bands = 16;
    for (int i = 0; i < bands; ++i)
    {
        const double centre = 250.0 * std::exp2(i / 3.0);
        const int first = static_cast<int>(std::ceil(centre * std::exp2(-1.0 / 6.0) * kN / kRate));
        const int last = static_cast<int>(std::floor(centre * std::exp2(1.0 / 6.0) * kN / kRate));
        const double octave = i / 3.0;
        const double level = MeanLevel(power, first, last);
        sx += octave;
        sy += level;
        sxx += octave * octave;
        sxy += octave * level;
    }
    return (bands * sxy - sx * sy) / (bands * sxx - sx * sx);
}

struct SlopeRow
{
    std::string name;
    int type;
    bool endless;
    double slope; // dB per octave
};

using NoiseSlope = ::testing::TestWithParam<SlopeRow>;

} // namespace

TEST_P(NoiseSlope, SpectrumFallsByItsSlopeFrom250HzTo8kHz)
{
    const SlopeRow& row = GetParam();
    auto synth = std::make_unique<CNoiseSynth>();
    EXPECT_NEAR(ThirdOctaveSlope(Period(*synth, row.type, row.endless, 20.0, 20000.0)), row.slope, 0.5);
}

// Power per bin: white flat, pink 1/f (half of 20 log10 2 per octave), brown
// 1/f^2 (all of it).
INSTANTIATE_TEST_SUITE_P(Colours, NoiseSlope,
                         ::testing::Values(SlopeRow{"white", White, false, 0.0},
                                           SlopeRow{"pink", Pink, false, -10.0 * std::log10(2.0)},
                                           SlopeRow{"brown", Brown, false, -20.0 * std::log10(2.0)},
                                           SlopeRow{"endless brown", Brown, true, -20.0 * std::log10(2.0)}),
                         RowName());

namespace
{

struct BandRow
{
    std::string name;
    double lower;
    double upper;
};

using BrownLevel = ::testing::TestWithParam<BandRow>;

} // namespace

// Each period's level depends on its own peak, so four of each are averaged.
TEST_P(BrownLevel, RmsLiesWithinOneDecibelOfPinkOfTheSameBandAndThePeakWithin10000)
{
    const BandRow& row = GetParam();
    auto synth = std::make_unique<CNoiseSynth>();
    for (const bool endless : {false, true})
    {
        double pink = 0.0, brown = 0.0;
        for (uint64_t seed = 1; seed <= 4; ++seed)
        {
            pink += RmsDb(Period(*synth, Pink, endless, row.lower, row.upper, seed)) / 4.0;
            const std::vector<double> x = Period(*synth, Brown, endless, row.lower, row.upper, seed);
            brown += RmsDb(x) / 4.0;
            EXPECT_LE(Peak(x), 10000);
        }
        EXPECT_NEAR(brown, pink, 1.0) << (endless ? "endless" : "repeated");
    }
}

INSTANTIATE_TEST_SUITE_P(Bands, BrownLevel,
                         ::testing::Values(BandRow{"presets 100 to 20000", 100.0, 20000.0},
                                           BandRow{"audible 20 to 20000", 20.0, 20000.0},
                                           BandRow{"speech 250 to 8000", 250.0, 8000.0},
                                           BandRow{"low 20 to 1000", 20.0, 1000.0},
                                           BandRow{"one octave 1000 to 2000", 1000.0, 2000.0}),
                         RowName());
