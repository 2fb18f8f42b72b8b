// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "sound_measure.h"
#include "synth/endless_noise.h"
#include "testing/file_compare.h"

namespace
{

constexpr int kN = 262144;
constexpr int kRate = 44100;

// A file's samples as the render path writes it; surf and fades off unless given.
std::vector<double> Samples(const CTempFolder& dir, const SoundValues& sound, double seconds)
{
    return WaveSamples(RenderWave(dir, sound, FileValues{0.0, 0.0, seconds}));
}

SoundValues Sound(int type, bool endless, uint64_t seed = 7)
{
    SoundValues sound;
    sound.noiseType = type;
    sound.surfStrength = 0.0;
    sound.endless = endless;
    sound.seed = seed;
    return sound;
}

// Autocorrelation by FFT, normalised by lag 0: the power spectrum of x
// padded against wrap-around, transformed back.
std::vector<double> Autocorrelation(std::vector<double> x)
{
    const size_t length = x.size();
    size_t size = 1;
    while (size < 2 * length)
        size *= 2;
    x.resize(size, 0.0);
    const std::vector<double> power = SegmentPower(x, 0, size, static_cast<int>(size));
    fftw_complex* freq = fftw_alloc_complex(size / 2 + 1);
    fftw_plan backward = fftw_plan_dft_c2r_1d(static_cast<int>(size), freq, x.data(), FFTW_ESTIMATE);
    for (size_t k = 0; k <= size / 2; ++k)
    {
        freq[k][0] = power[k];
        freq[k][1] = 0.0;
    }
    fftw_execute(backward);
    fftw_destroy_plan(backward);
    fftw_free(freq);
    std::vector<double> r(x.begin(), x.begin() + static_cast<long>(length));
    for (double& v : r)
        v /= x[0];
    return r;
}

// Third-octave band levels (dB) from 125 Hz to 16 kHz: power summed over
// segments of 2^16 samples.
std::vector<double> ThirdOctaveLevels(const std::vector<double>& x)
{
    constexpr int kSegment = 1 << 16;
    const std::vector<double> power = SegmentPower(x, 0, x.size(), kSegment);
    std::vector<double> levels;
    for (int band = 0; band <= 21; ++band)
    {
        const double centre = 125.0 * std::pow(2.0, band / 3.0);
        levels.push_back(MeanLevel(power, static_cast<int>(centre * std::pow(2.0, -1.0 / 6.0) * kSegment / kRate),
                                   static_cast<int>(centre * std::pow(2.0, 1.0 / 6.0) * kSegment / kRate) - 1));
    }
    return levels;
}

double MaxCorrelationFrom(const std::vector<double>& r, size_t lag)
{
    double largest = 0.0;
    for (size_t i = lag; i < r.size(); ++i)
        largest = std::max(largest, std::fabs(r[i]));
    return largest;
}

struct EndlessFile : ::testing::Test
{
    CTempFolder m_dir;
};

} // namespace

TEST_F(EndlessFile, AMinuteOfPinkNoiseNeverRepeatsAndKeepsItsLevelEverySecond)
{
    const std::vector<double> x = Samples(m_dir, Sound(Pink, true), 60.0);
    const std::vector<double> r = Autocorrelation(x);
    EXPECT_LT(std::fabs(r[kN]), 0.05);
    EXPECT_LE(MaxCorrelationFrom(r, kRate), 0.1);
    const std::vector<double> repeated = Autocorrelation(Samples(m_dir, Sound(Pink, false), 60.0));
    EXPECT_GT(repeated[kN], 0.5) << "the measure sees a repetition";

    // Through the joins of the periods.
    std::vector<double> levels;
    for (size_t start = 0; start + kRate <= x.size(); start += kRate)
        levels.push_back(RmsDb(std::span(x.data() + start, kRate)));
    std::vector<double> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    for (size_t s = 0; s < levels.size(); ++s)
        EXPECT_NEAR(levels[s], median, 0.5) << "second " << s;
}

struct EndlessSpectrum : EndlessFile, ::testing::WithParamInterface<int>
{};

TEST_P(EndlessSpectrum, ThirdOctaveLevelsMatchTheRepeatedNoise)
{
    const std::vector<double> endless = ThirdOctaveLevels(Samples(m_dir, Sound(GetParam(), true), 30.0));
    const std::vector<double> today = ThirdOctaveLevels(Samples(m_dir, Sound(GetParam(), false), 30.0));
    for (size_t band = 0; band < today.size(); ++band)
        EXPECT_NEAR(endless[band], today[band], 1.0) << "band " << band << " of 125 Hz * 2^(band/3)";
}

INSTANTIATE_TEST_SUITE_P(Noises, EndlessSpectrum, ::testing::Values(Physiological, White, Pink, Brown),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(NoiseTypeName(info.param));
                         });

TEST_F(EndlessFile, ASeedGivesTheSameBytesOnAnyNumberOfWorkersAndAnotherSeedOthers)
{
    const FileValues shaped{2.0, 3.0, 20.0};
    SoundValues sound = Sound(Pink, true, 12345);
    sound.surfStrength = 40.0;
    sound.surfPeriod = 3.0;
    const std::string threaded = RenderWave(m_dir, sound, shaped);
    EXPECT_TRUE(SameBytes(threaded, RenderWave(m_dir, sound, shaped, 0)));
    EXPECT_TRUE(SameBytes(threaded, RenderWave(m_dir, sound, shaped)));
    sound.seed = 12346;
    const std::string other = RenderWave(m_dir, sound, shaped);
    ASSERT_EQ(other.size(), threaded.size());
    EXPECT_TRUE(std::equal(other.begin(), other.begin() + 44, threaded.begin())) << "same header";
    EXPECT_FALSE(other == threaded);
}

TEST_F(EndlessFile, EachBlockIsItsPeriodWithSurfAndFadesOfTheFileWideIndex)
{
    // Block b of an endless file is what the writer makes at block b from
    // the sequence's period b repeated: surf, fades and level run on as ever.
    const FileValues shaped{3.0, 4.0, 20.0};
    SoundValues sound = Sound(White, true, 99);
    sound.surfStrength = 60.0;
    sound.surfPeriod = 2.5;
    const std::string endless = RenderWave(m_dir, sound, shaped);

    CEndlessNoise noise;
    noise.Start(White, sound.lowerLimit, sound.upperLimit, 99);
    std::vector<int16_t> period(kN);
    const size_t blocks = (endless.size() - 44 + 2 * kN - 1) / (2 * kN);
    for (size_t b = 0; b < blocks; ++b)
    {
        noise.Next(period.data());
        CWaveWriter writer;
        writer.source = period.data();
        ASSERT_TRUE(writer.SetFileName(m_dir / "fixed.wav"));
        ASSERT_TRUE(writer.Write(20.0, 60.0, 2.5, 3.0, 4.0, kN));
        const std::string fixed = ReadAll(m_dir / "fixed.wav");
        const size_t from = 44 + b * 2 * kN;
        const size_t length = std::min<size_t>(2 * kN, endless.size() - from);
        EXPECT_TRUE(
            SameBytes(std::string_view(endless).substr(from, length), std::string_view(fixed).substr(from, length)))
            << "block " << b;
    }
}
