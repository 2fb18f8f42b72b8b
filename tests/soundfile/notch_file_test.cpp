// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "soundfile/sound_render.h"
#include "testing/param_name.h"
#include "testing/temp_folder.h"

namespace {

constexpr int kN = 262144;
constexpr double kRate = 44100.0;

std::string Render(const CTempFolder& dir, const SoundValues& sound, const FileValues& file)
{
    CNoiseSynth synth;
    MakeSignal(synth, sound);
    CWaveWriter writer(2);
    EXPECT_TRUE(writer.SetFileName(dir / "sound.wav"));
    EXPECT_TRUE(WriteSoundFile(writer, synth, sound, file));
    return ReadAll(dir / "sound.wav");
}

// Power per bin of N samples from `first` on, under a four-term
// Blackman-Harris window: its side lobes lie 92 dB down, so a deep notch is
// not filled by leakage from the band around it.
std::vector<double> PowerSpectrum(const std::string& bytes, int first)
{
    double* time = fftw_alloc_real(kN);
    fftw_complex* freq = fftw_alloc_complex(kN / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(kN, time, freq, FFTW_ESTIMATE);
    for (int i = 0; i < kN; ++i) {
        int16_t v;
        std::memcpy(&v, bytes.data() + 44 + 2 * (first + i), 2);
        const double t = 2.0 * M_PI * i / kN;
        const double w = 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        time[i] = w * v;
    }
    fftw_execute(plan);
    std::vector<double> power(kN / 2 + 1);
    for (int k = 0; k <= kN / 2; ++k)
        power[k] = freq[k][0] * freq[k][0] + freq[k][1] * freq[k][1];
    fftw_destroy_plan(plan);
    fftw_free(time);
    fftw_free(freq);
    return power;
}

// Mean power in dB over the bins between two frequencies; guard bins at each
// end are left out, the width of the window's main lobe.
double MeanLevel(const std::vector<double>& power, double from, double to, int guard = 0)
{
    const int first = static_cast<int>(std::ceil(from * kN / kRate)) + guard;
    const int last = static_cast<int>(std::floor(to * kN / kRate)) - guard;
    double sum = 0.0;
    for (int k = first; k <= last; ++k)
        sum += power[k];
    return 10.0 * std::log10(sum / (last - first + 1) + 1e-30);
}

struct DepthRow
{
    std::string name;
    int type;
    double widthOctaves;
    int centre;
    bool endless;
};

class NotchDepthTest : public testing::TestWithParam<DepthRow>
{
};

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
    const std::string bytes = Render(dir, sound, FileValues{1.0, 5.0, 10.0});
    const std::vector<double> power = PowerSpectrum(bytes, static_cast<int>(1.5 * kRate));

    const double lower = row.centre / std::exp2(row.widthOctaves / 2);
    const double upper = row.centre * std::exp2(row.widthOctaves / 2);
    const double inside = MeanLevel(power, lower, upper, 8);
    const double below = MeanLevel(power, lower / std::sqrt(2.0), lower);
    const double above = MeanLevel(power, upper, upper * std::sqrt(2.0));
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

class NotchOutsideTest : public testing::TestWithParam<OutsideRow>
{
};

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
    const std::string plain = Render(dir, sound, file);
    sound.notch = true;
    const std::string notched = Render(dir, sound, file);
    ASSERT_EQ(plain.size(), notched.size());
    for (size_t i = 0; i < plain.size(); ++i)
        ASSERT_EQ(plain[i], notched[i]) << "byte " << i << " differs";
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
    const std::string plain = Render(dir, sound, file);
    sound.notch = true;
    EXPECT_EQ(Render(dir, sound, file), plain);
}

}  // namespace
