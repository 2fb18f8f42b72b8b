// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sound_measure.h"
#include "testing/file_compare.h"
#include "testing/param_name.h"

namespace
{

constexpr int kN = 262144;
constexpr double kRate = 44100.0;

// Power per bin of N samples from `first` on, under a four-term
// Blackman-Harris window: its side lobes lie 92 dB down, so a deep notch is
// not filled by leakage from the band around it.
std::vector<double> PowerSpectrum(const std::string& bytes, int first)
{
    const std::vector<double> samples = WaveSamples(bytes);
    std::vector<double> windowed(kN);
    for (int i = 0; i < kN; ++i)
    {
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

struct NotchRow
{
    std::string name;
    int type;
    int centre;
    double widthOctaves = 1.0;
    bool endless = false;
    double lower = 100.0;
    double upper = 20000.0;
};

// The row's sound with the notch on, through surf swells.
SoundValues Notched(const NotchRow& row)
{
    SoundValues sound;
    sound.noiseType = row.type;
    sound.lowerLimit = row.lower;
    sound.upperLimit = row.upper;
    sound.tinnitusFreq = row.centre;
    sound.surfStrength = 60.0;
    sound.surfPeriod = 4.0;
    sound.endless = row.endless;
    sound.seed = 3;
    sound.notch = true;
    sound.notchWidthOctaves = row.widthOctaves;
    return sound;
}

using NotchDepthTest = testing::TestWithParam<NotchRow>;

TEST_P(NotchDepthTest, notch_lies_40_db_below_the_neighbouring_half_octaves)
{
    const NotchRow& row = GetParam();
    CTempFolder dir;
    // Past the fade-in, through a surf swell and into the fade-out.
    const std::string bytes = RenderWave(dir, Notched(row), FileValues{1.0, 5.0, 10.0});
    const std::vector<double> power = PowerSpectrum(bytes, static_cast<int>(1.5 * kRate));

    const double lower = row.centre / std::exp2(row.widthOctaves / 2);
    const double upper = row.centre * std::exp2(row.widthOctaves / 2);
    const double inside = Level(power, lower, upper, 8);
    const double below = Level(power, lower / std::sqrt(2.0), lower);
    const double above = Level(power, upper, upper * std::sqrt(2.0));
    EXPECT_LE(inside, below - 40.0) << "inside " << inside << " dB, half-octave below " << below << " dB";
    EXPECT_LE(inside, above - 40.0) << "inside " << inside << " dB, half-octave above " << above << " dB";
}

INSTANTIATE_TEST_SUITE_P(Types, NotchDepthTest,
                         testing::Values(NotchRow{"physiological one octave", Physiological, 1000},
                                         NotchRow{"physiological half octave", Physiological, 3000, 0.5},
                                         NotchRow{"white one octave", White, 6000},
                                         NotchRow{"white half octave", White, 11000, 0.5},
                                         NotchRow{"pink one octave", Pink, 2500},
                                         NotchRow{"pink half octave", Pink, 700, 0.5},
                                         NotchRow{"endless pink one octave", Pink, 4000, 1.0, true},
                                         NotchRow{"endless white half octave", White, 9000, 0.5, true},
                                         // Brown falls so far by 8 kHz that the file's rounding
                                         // would fill a notch there; its notches sit lower.
                                         NotchRow{"brown one octave", Brown, 2000},
                                         NotchRow{"endless brown half octave", Brown, 1500, 0.5, true}),
                         RowName());

using NotchOutsideTest = testing::TestWithParam<NotchRow>;

TEST_P(NotchOutsideTest, notch_that_cannot_apply_leaves_the_bytes_as_they_were)
{
    CTempFolder dir;
    SoundValues sound = Notched(GetParam());
    const FileValues file{1.0, 1.0, 8.0};
    const std::string notched = RenderWave(dir, sound, file);
    sound.notch = false;
    EXPECT_TRUE(SameBytes(notched, RenderWave(dir, sound, file)));
}

INSTANTIATE_TEST_SUITE_P(
    Bands, NotchOutsideTest,
    testing::Values(NotchRow{"white notch below the band", White, 300, 1.0, false, 1000.0},
                    NotchRow{"pink notch above the band", Pink, 12000, 1.0, false, 100.0, 4000.0},
                    NotchRow{"physiological notch below the band", Physiological, 100, 1.0, false, 500.0},
                    NotchRow{"endless white notch above the band", White, 9000, 1.0, true, 20.0, 2000.0},
                    NotchRow{"tone ignores the notch", TinnitusFinder, 1000}),
    RowName());

} // namespace
