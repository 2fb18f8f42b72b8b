// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sound_measure.h"
#include "testing/file_compare.h"
#include "testing/param_name.h"

namespace {

constexpr int kN = 262144;
constexpr double kRate = 44100.0;

// Power per bin of N samples from `first` on, under a four-term
// Blackman-Harris window: its side lobes lie 92 dB down, so a deep notch is
// not filled by leakage from the band around it.
std::vector<double> PowerSpectrum(const std::string& bytes, int first)
{
    const std::vector<double> samples = WaveSamples(bytes);
    std::vector<double> windowed(kN);
    for (int i = 0; i < kN; ++i) {
        const double t = 2.0 * M_PI * i / kN;
        const double w = 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        windowed[i] = w * samples[first + i];
    }
    return SegmentPower(windowed, 0, kN, kN);
}

// Mean power in dB between two frequencies; guard bins at each end are left
// out, the width of the window's main lobe.
double Level(const std::vector<double>& power, double from, double to, int guard = 0)
{
    return MeanLevel(power, static_cast<int>(std::ceil(from * kN / kRate)) + guard,
                     static_cast<int>(std::floor(to * kN / kRate)) - guard);
}

struct DepthRow
{
    std::string name;
    int type;
    double widthOctaves;
    int centre;
    bool endless;
};

using NotchDepthTest = testing::TestWithParam<DepthRow>;

TEST_P(NotchDepthTest, notch_lies_40_db_below_the_neighbouring_half_octaves)
{
    const DepthRow& row = GetParam();
    CTempFolder dir;
    SoundValues sound;
    sound.noiseType = row.type;
    sound.lowerLimit = 100.0;
    sound.upperLimit = 20000.0;
    sound.tinnitusFreq = row.centre;
    sound.surfStrength = 60.0;
    sound.surfPeriod = 4.0;
    sound.endless = row.endless;
    sound.seed = 3;
    sound.notch = true;
    sound.notchWidthOctaves = row.widthOctaves;
    // Past the fade-in, through a surf swell and into the fade-out.
    const std::string bytes = RenderWave(dir, sound, FileValues{1.0, 5.0, 10.0});
    const std::vector<double> power = PowerSpectrum(bytes, static_cast<int>(1.5 * kRate));

    const double lower = row.centre / std::exp2(row.widthOctaves / 2);
    const double upper = row.centre * std::exp2(row.widthOctaves / 2);
    const double inside = Level(power, lower, upper, 8);
    const double below = Level(power, lower / std::sqrt(2.0), lower);
    const double above = Level(power, upper, upper * std::sqrt(2.0));
    EXPECT_LE(inside, below - 40.0) << "inside " << inside << " dB, half-octave below " << below << " dB";
    EXPECT_LE(inside, above - 40.0) << "inside " << inside << " dB, half-octave above " << above << " dB";
}

INSTANTIATE_TEST_SUITE_P(
    Types, NotchDepthTest,
    testing::Values(DepthRow{"physiological one octave", Physiological, 1.0, 1000, false},
                    DepthRow{"physiological half octave", Physiological, 0.5, 3000, false},
                    DepthRow{"white one octave", White, 1.0, 6000, false},
                    DepthRow{"white half octave", White, 0.5, 11000, false},
                    DepthRow{"pink one octave", Pink, 1.0, 2500, false},
                    DepthRow{"pink half octave", Pink, 0.5, 700, false},
                    DepthRow{"endless pink one octave", Pink, 1.0, 4000, true},
                    DepthRow{"endless white half octave", White, 0.5, 9000, true}),
    RowName());

struct OutsideRow
{
    std::string name;
    int type;
    double lower;
    double upper;
    int centre;
    bool endless;
};

using NotchOutsideTest = testing::TestWithParam<OutsideRow>;

TEST_P(NotchOutsideTest, notch_outside_the_band_gives_the_same_bytes)
{
    const OutsideRow& row = GetParam();
    CTempFolder dir;
    SoundValues sound;
    sound.noiseType = row.type;
    sound.lowerLimit = row.lower;
    sound.upperLimit = row.upper;
    sound.tinnitusFreq = row.centre;
    sound.endless = row.endless;
    sound.seed = 11;
    const FileValues file{1.0, 1.0, 8.0};
    const std::string plain = RenderWave(dir, sound, file);
    sound.notch = true;
    const std::string notched = RenderWave(dir, sound, file);
    EXPECT_TRUE(SameBytes(notched, plain));
}

INSTANTIATE_TEST_SUITE_P(
    Bands, NotchOutsideTest,
    testing::Values(OutsideRow{"white notch below the band", White, 1000.0, 20000.0, 300, false},
                    OutsideRow{"pink notch above the band", Pink, 100.0, 4000.0, 12000, false},
                    OutsideRow{"physiological notch below the band", Physiological, 500.0, 20000.0, 100, false},
                    OutsideRow{"endless white notch above the band", White, 20.0, 2000.0, 9000, true}),
    RowName());

TEST(NotchToneTest, tone_ignores_the_notch)
{
    CTempFolder dir;
    SoundValues sound;
    sound.noiseType = TinnitusFinder;
    sound.tinnitusFreq = 1000;
    const FileValues file{0.0, 0.0, 2.0};
    const std::string plain = RenderWave(dir, sound, file);
    sound.notch = true;
    EXPECT_TRUE(SameBytes(RenderWave(dir, sound, file), plain));
}

}  // namespace
