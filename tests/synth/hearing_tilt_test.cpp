// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "synth/endless_noise.h"
#include "synth/hearing_tilt.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"
#include "testing/power_spectrum.h"
#include "testing/sound_level.h"

namespace
{

constexpr int kN = CNoiseSynth::kPeriodSamples;

// A sloping loss, steep enough between 3 and 8 kHz that the cap is reached.
const HearingProfile kProfile = {"2026-12-08",
                                 "test",
                                 {{HearingEar::Both, 250, -60},
                                  {HearingEar::Both, 500, -62},
                                  {HearingEar::Both, 1000, -60},
                                  {HearingEar::Both, 2000, -55},
                                  {HearingEar::Both, 3000, -45},
                                  {HearingEar::Both, 4000, -35},
                                  {HearingEar::Both, 6000, -30},
                                  {HearingEar::Both, 8000, -20}}};

// The expected tilt, straight from the profile: threshold minus the mean of
// the thresholds (-45.875), capped at +20 dB, straight over log-frequency.
double ExpectedTiltDb(double hz)
{
    const double points[][2] = {{250, -14.125}, {500, -16.125}, {1000, -14.125}, {2000, -9.125},
                                {3000, 0.875},  {4000, 10.875}, {6000, 15.875},  {8000, 20.0}};
    for (int i = 1; i < 8; ++i)
        if (hz <= points[i][0])
            return points[i - 1][1]
                   + (points[i][1] - points[i - 1][1]) * std::log2(hz / points[i - 1][0])
                         / std::log2(points[i][0] / points[i - 1][0]);
    return 20.0;
}

// |X_k|^2 of one period, k = 0..N/2.
std::vector<double> PowerSpectrum(const std::vector<int16_t>& samples)
{
    return SegmentPower(std::vector<double>(samples.begin(), samples.end()), 0, kN, kN);
}

double BandDb(const std::vector<double>& power, double centre)
{
    const double binHz = 44100.0 / kN;
    double sum = 0.0;
    for (int k = static_cast<int>(centre * std::exp2(-1.0 / 6) / binHz) + 1; k * binHz < centre * std::exp2(1.0 / 6);
         ++k)
        sum += power[static_cast<size_t>(k)];
    return 10.0 * std::log10(sum);
}

struct ShapeRow
{
    std::string name;
    int type;
    bool endless;
};

void PrintTo(const ShapeRow& row, std::ostream* out)
{
    *out << row.name;
}

// One period of the noise, with or without the listener's tilt, from the
// same phases.
std::vector<int16_t> Period(const ShapeRow& row, const SpectrumTilt& tilt)
{
    std::vector<int16_t> out(kN);
    if (row.endless)
    {
        auto noise = std::make_unique<CEndlessNoise>();
        noise->SetTilt(tilt);
        noise->Start(row.type, 20.0, 20000.0, 77);
        noise->Next(out.data());
    }
    else
    {
        auto synth = std::make_unique<CNoiseSynth>();
        synth->m_tilt = tilt;
        synth->Synthesize(row.type, 20.0, 20000.0);
        std::copy(synth->m_samples.get(), synth->m_samples.get() + kN, out.begin());
    }
    return out;
}

class HearingShape : public testing::TestWithParam<ShapeRow>
{};

// The bands, less the unshaped ones, follow the tilt up to one overall
// offset (the level is the noise's own, not the tilt's); the RMS stays.
TEST_P(HearingShape, third_octave_bands_follow_the_tilt_and_the_rms_stays)
{
    const std::vector<int16_t> plain = Period(GetParam(), {});
    const std::vector<int16_t> shaped = Period(GetParam(), HearingTilt(kProfile, HearingEar::Both));
    const std::vector<double> plainPower = PowerSpectrum(plain);
    const std::vector<double> shapedPower = PowerSpectrum(shaped);
    std::vector<double> centres, measured, expected;
    for (int n = -6; n <= 9; ++n)
    {
        const double centre = 1000.0 * std::exp2(n / 3.0);
        centres.push_back(centre);
        measured.push_back(BandDb(shapedPower, centre) - BandDb(plainPower, centre));
        expected.push_back(ExpectedTiltDb(centre));
    }
    double offset = 0.0;
    for (size_t i = 0; i < centres.size(); ++i)
        offset += (measured[i] - expected[i]) / static_cast<double>(centres.size());
    for (size_t i = 0; i < centres.size(); ++i)
        EXPECT_NEAR(measured[i] - offset, expected[i], 2.0) << centres[i] << " Hz";
    EXPECT_NEAR(RmsDb(shaped), RmsDb(plain), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Noises, HearingShape,
                         testing::Values(ShapeRow{"white", White, false}, ShapeRow{"pink", Pink, false},
                                         ShapeRow{"physiological", Physiological, false},
                                         ShapeRow{"endless_pink", Pink, true}),
                         [](const auto& info) { return info.param.name; });

TEST(HearingShape, off_leaves_every_sample_as_it_was)
{
    auto a = std::make_unique<CNoiseSynth>();
    auto b = std::make_unique<CNoiseSynth>();
    b->m_tilt = HearingTilt(HearingProfile{}, HearingEar::Both);
    ASSERT_FALSE(b->m_tilt.On()) << "no thresholds, no tilt";
    a->Synthesize(Pink, 100.0, 12000.0);
    b->Synthesize(Pink, 100.0, 12000.0);
    EXPECT_EQ(0, std::memcmp(a->m_samples.get(), b->m_samples.get(), kN * sizeof(int16_t)));
}

TEST(HearingShape, both_without_its_own_entries_is_the_mean_of_the_ears)
{
    const HearingProfile profile = {"2026-12-08",
                                    "test",
                                    {{HearingEar::Left, 1000, -60},
                                     {HearingEar::Right, 1000, -40},
                                     {HearingEar::Left, 4000, -30},
                                     {HearingEar::Right, 4000, -30}}};
    // Means -50 and -30; their mean -40.
    const SpectrumTilt both = HearingTilt(profile, HearingEar::Both);
    EXPECT_DOUBLE_EQ(both.DbAt(1000.0), -10.0);
    EXPECT_DOUBLE_EQ(both.DbAt(4000.0), 10.0);
    EXPECT_DOUBLE_EQ(both.DbAt(2000.0), 0.0);
    EXPECT_DOUBLE_EQ(both.DbAt(100.0), -10.0) << "held below the lowest";
    // The left ear alone: -60 and -30 about -45.
    EXPECT_DOUBLE_EQ(HearingTilt(profile, HearingEar::Left).DbAt(1000.0), -15.0);
}

} // namespace
