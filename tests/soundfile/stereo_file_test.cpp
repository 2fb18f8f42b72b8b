// SPDX-License-Identifier: GPL-3.0-or-later
// Stereo files through the one render path, read back with libsndfile: each
// ear its own noise of the mono spectrum, its own level, the tone in its ear.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include "sound_measure.h"
#include "synth/parameter_limits.h"
#include "testing/file_compare.h"
#include "testing/param_name.h"

namespace
{

struct Decoded
{
    int channels = 0;
    int rate = 0;
    std::vector<double> ears[2];
};

Decoded Decode(const std::string& name)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(name.c_str(), SFM_READ, &info);
    Decoded d;
    if (file == nullptr)
        return d;
    d.channels = info.channels;
    d.rate = info.samplerate;
    std::vector<short> samples(static_cast<size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    for (sf_count_t i = 0; i < read; ++i)
        for (int c = 0; c < std::min(info.channels, 2); ++c)
            d.ears[c].push_back(samples[static_cast<size_t>(i * info.channels + c)]);
    return d;
}

std::string Render(const CTempFolder& dir, const std::string& name, const SoundValues& sound, double seconds)
{
    CNoiseSynth synth;
    MakeSignal(synth, sound);
    CWaveWriter writer;
    const std::string path = dir / name;
    EXPECT_TRUE(writer.SetFileName(path));
    EXPECT_TRUE(WriteSoundFile(writer, synth, sound, FileValues{1.0, 1.0, seconds}));
    return path;
}

SoundValues Stereo(SoundValues sound, int left = 0, int right = 0, ToneEar toneEar = ToneEar::Both)
{
    sound.stereo = StereoSound{true, {left, right}, toneEar};
    return sound;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
    {
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    return ab / std::sqrt(aa * bb);
}

// Mean power in third-octave bands from 200 Hz up to 10 kHz, in dB.
std::vector<double> ThirdOctaveLevels(const std::vector<double>& x)
{
    constexpr int kWindow = 8192;
    const std::vector<double> power = SegmentPower(x, 0, x.size(), kWindow);
    std::vector<double> levels;
    for (double low = 200.0; low < 10000.0; low *= std::cbrt(2.0))
        levels.push_back(MeanLevel(power, static_cast<int>(low * kWindow / 44100.0),
                                   static_cast<int>(std::cbrt(2.0) * low * kWindow / 44100.0) - 1));
    return levels;
}

struct NoiseRow
{
    std::string name;
    bool endless;
    double surfStrength;
};

using StereoNoise = ::testing::TestWithParam<NoiseRow>;

TEST_P(StereoNoise, EachEarHasItsOwnNoiseWithTheMonoSpectrum)
{
    CTempFolder dir;
    SoundValues sound; // pink 100..20000 Hz, surf 30 % every 20 s
    sound.endless = GetParam().endless;
    sound.surfStrength = GetParam().surfStrength;
    sound.seed = 7;
    constexpr double kSeconds = 12.0;
    const Decoded mono = Decode(Render(dir, "mono.wav", sound, kSeconds));
    const Decoded stereo = Decode(Render(dir, "stereo.wav", Stereo(sound), kSeconds));
    ASSERT_EQ(mono.channels, 1);
    ASSERT_EQ(stereo.channels, 2);
    ASSERT_EQ(stereo.ears[0].size(), static_cast<size_t>(kSeconds * 44100));
    ASSERT_EQ(stereo.ears[1].size(), mono.ears[0].size());
    // The left ear at 0 dB is the mono file, sample for sample.
    EXPECT_TRUE(stereo.ears[0] == mono.ears[0]);
    EXPECT_LE(std::abs(Correlation(stereo.ears[0], stereo.ears[1])), 0.05);
    const std::vector<double> expected = ThirdOctaveLevels(mono.ears[0]);
    const std::vector<double> right = ThirdOctaveLevels(stereo.ears[1]);
    ASSERT_EQ(right.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(right[i], expected[i], 1.0) << "third octave " << i;
}

INSTANTIATE_TEST_SUITE_P(Noises, StereoNoise,
                         ::testing::Values(NoiseRow{"repeated", false, 30.0}, NoiseRow{"endless", true, 30.0},
                                           NoiseRow{"repeated without surf", false, 0.0}),
                         RowName());

struct LevelRow
{
    std::string name;
    int noiseType;
    ToneEar toneEar;
    int levels[2];
    double expectedDb[2]; // against the reference; NaN: exact silence
};

using StereoLevels = ::testing::TestWithParam<LevelRow>;

// Each ear against the mono file: the right ear's own noise plays as loud
// as the left's, and for the tone both ears' surf and fades count.
TEST_P(StereoLevels, EachEarIsAtItsLevelAndTheToneOnlyInItsEar)
{
    const LevelRow& row = GetParam();
    CTempFolder dir;
    SoundValues sound;
    sound.noiseType = row.noiseType;
    sound.tinnitusFreq = 3000;
    constexpr double kSeconds = 6.0;
    const Decoded mono = Decode(Render(dir, "mono.wav", sound, kSeconds));
    const Decoded ears =
        Decode(Render(dir, "ears.wav", Stereo(sound, row.levels[0], row.levels[1], row.toneEar), kSeconds));
    ASSERT_EQ(ears.channels, 2);
    for (int ear = 0; ear < 2; ++ear)
    {
        const std::vector<double>& got = ears.ears[ear];
        const std::vector<double>& reference = mono.ears[0];
        if (std::isnan(row.expectedDb[ear]))
        {
            EXPECT_EQ(Peak(got), 0) << "ear " << ear;
            continue;
        }
        EXPECT_NEAR(RmsDb(got) - RmsDb(reference), row.expectedDb[ear], 0.1) << "ear " << ear;
        // Only the left noise ear and the tone are the mono samples themselves.
        if (row.expectedDb[ear] == 0.0 && (ear == 0 || IsTone(row.noiseType)))
        {
            EXPECT_TRUE(got == reference) << "ear " << ear;
        }
    }
}

constexpr int kSilent = StereoSound::kSilent;

INSTANTIATE_TEST_SUITE_P(
    Ears, StereoLevels,
    ::testing::Values(LevelRow{"noise at -6 and -20", Pink, ToneEar::Both, {-6, -20}, {-6.0, -20.0}},
                      LevelRow{"noise left silent", White, ToneEar::Both, {kSilent, -1}, {NAN, -1.0}},
                      LevelRow{"noise right silent", Brown, ToneEar::Left, {0, kSilent}, {0.0, NAN}},
                      LevelRow{"noise both at full", Physiological, ToneEar::Both, {0, 0}, {0.0, 0.0}},
                      LevelRow{"tone left", TinnitusFinder, ToneEar::Left, {0, 0}, {0.0, NAN}},
                      LevelRow{"tone right at -10", TinnitusFinder, ToneEar::Right, {-6, -10}, {NAN, -10.0}},
                      LevelRow{"tone both", TinnitusFinder, ToneEar::Both, {-20, 0}, {-20.0, 0.0}}),
    RowName());

struct TypeRow
{
    std::string name;
    const char* suffix;
    int rate;
};

using StereoFileType = ::testing::TestWithParam<TypeRow>;

TEST_P(StereoFileType, DecodesToTwoChannelsOfItsLength)
{
    const TypeRow& row = GetParam();
    CTempFolder dir;
    constexpr double kSeconds = 6.0;
    const Decoded wave = Decode(Render(dir, "a.wav", Stereo(SoundValues{}), kSeconds));
    const Decoded file = Decode(Render(dir, std::string("a") + row.suffix, Stereo(SoundValues{}), kSeconds));
    ASSERT_EQ(file.channels, 2);
    EXPECT_EQ(file.rate, row.rate);
    const std::string name = dir / (std::string("a") + row.suffix);
    EXPECT_LE(static_cast<int64_t>(ReadAll(name).size()), EstimatedFileBytes(SoundFileTypeOf(name), kSeconds, 2))
        << "the free-space estimate covers the file";
    ASSERT_EQ(file.ears[0].size(), file.ears[1].size());
    // The codec's delay and last frame may add a little, never lose sound.
    const double frames = static_cast<double>(file.ears[0].size());
    EXPECT_GE(frames, kSeconds * row.rate - 0.01 * row.rate);
    EXPECT_LE(frames, kSeconds * row.rate + 0.1 * row.rate);
    if (row.rate == 44100 && std::string(row.suffix) != ".mp3")
    {
        EXPECT_TRUE(file.ears[0] == wave.ears[0] && file.ears[1] == wave.ears[1]) << "lossless";
    }
    else
    {
        EXPECT_LE(std::abs(Correlation(file.ears[0], file.ears[1])), 0.1) << "the ears stay apart";
        for (int ear = 0; ear < 2; ++ear)
            EXPECT_NEAR(RmsDb(file.ears[ear]) - RmsDb(wave.ears[ear]), 0.0, 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Types, StereoFileType,
                         ::testing::Values(TypeRow{"Wave", ".wav", 44100}, TypeRow{"Flac", ".flac", 44100},
                                           TypeRow{"Opus", ".opus", 48000}, TypeRow{"Mp3", ".mp3", 44100}),
                         RowName());

TEST(StereoWave, TheHeaderTellsTwoChannelsOfFourBytesAFrame)
{
    CTempFolder dir;
    const std::string bytes = ReadAll(Render(dir, "a.wav", Stereo(SoundValues{}), 1.0));
    // 176436 = 36 + 4 * 44100, 176400 bytes a second and of data.
    const unsigned char header[44] = {'R', 'I', 'F',  'F',  0x34, 0xB1, 0x02, 0x00, 'W',  'A',  'V',
                                      'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,    1,    0,
                                      2,   0,   0x44, 0xAC, 0,    0,    0x10, 0xB1, 0x02, 0x00, 4,
                                      0,   16,  0,    'd',  'a',  't',  'a',  0x10, 0xB1, 0x02, 0x00};
    ASSERT_EQ(bytes.size(), 44u + 176400u);
    EXPECT_TRUE(SameBytes(bytes.data(), header, sizeof header));
}

// The header's sizes hold 4 N + 36 < 2^32 for N frames of two channels: a
// stereo WAV ends at half the mono one's length.
TEST(StereoWave, IsRefusedBeyondHalfTheMonoLength)
{
    EXPECT_EQ(Limits::MaxWaveSeconds(1), 48695);
    EXPECT_EQ(Limits::MaxWaveSeconds(2), 24347);

    CTempFolder dir;
    SoundValues sound;
    CNoiseSynth synth;
    MakeSignal(synth, sound);
    // Stopped at the first block: only the length check is left to see.
    const std::atomic<bool> stop{true};
    const auto write = [&](const SoundValues& values, double seconds) {
        CWaveWriter writer;
        writer.cancel = &stop;
        EXPECT_TRUE(writer.SetFileName(dir / "long.wav"));
        return WriteSoundFile(writer, synth, values, FileValues{0.0, 0.0, seconds});
    };
    EXPECT_EQ(write(Stereo(sound), 24347.0).problem, IoProblem::Cancelled);
    EXPECT_EQ(IoResultText(write(Stereo(sound), 24348.0)),
              "I can't write " + dir / "long.wav" + ": a stereo WAV file can be at most 06:45:47 (24347 s) long");
    EXPECT_EQ(write(sound, 24348.0).problem, IoProblem::Cancelled);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
}

} // namespace
