// SPDX-License-Identifier: GPL-3.0-or-later
// FLAC, Opus and MP3 files through the one render path, decoded again with
// libsndfile and held against the WAV file of the same values.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "sound_measure.h"
#include "testing/file_compare.h"
#include "testing/param_name.h"

namespace
{

constexpr double kSeconds = 12.0;

struct Decoded
{
    int rate = 0;
    std::vector<double> samples;
};

SoundValues Surf()
{
    SoundValues sound; // pink noise 100..20000 Hz, surf 30 % every 20 s
    sound.surfPeriod = 5.0;
    return sound;
}

CIoResult Render(CNoiseSynth& synth, const std::string& name, double seconds = kSeconds,
                 const SoundValues& sound = Surf(), const FileSystemCalls& calls = {})
{
    CWaveWriter writer;
    writer.fileCalls = calls;
    EXPECT_TRUE(writer.SetFileName(name));
    return WriteSoundFile(writer, synth, sound, FileValues{1.0, 1.0, seconds});
}

Decoded Decode(const std::string& name)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(name.c_str(), SFM_READ, &info);
    Decoded d;
    if (file == nullptr)
        return d;
    d.rate = info.samplerate;
    std::vector<short> samples(static_cast<size_t>(info.frames));
    samples.resize(static_cast<size_t>(sf_read_short(file, samples.data(), info.frames)));
    sf_close(file);
    d.samples.assign(samples.begin(), samples.end());
    return d;
}

// Mean power in octave bands from 125 Hz up to 8 kHz, in dB, over the middle
// of the sound (clear of the fades and of a codec's start-up).
std::vector<double> OctaveLevels(const Decoded& d)
{
    constexpr int kWindow = 8192;
    const std::vector<double> power = SegmentPower(d.samples, 2 * d.rate, d.samples.size() - 2 * d.rate, kWindow);
    std::vector<double> levels;
    for (double low = 125.0; low < 8000.0; low *= 2.0)
        levels.push_back(MeanLevel(power, static_cast<int>(low * kWindow / d.rate),
                                   static_cast<int>(2.0 * low * kWindow / d.rate) - 1));
    return levels;
}

class CompressedFileTest : public ::testing::Test
{
protected:
    void SetUp() override { MakeSignal(m_synth, Surf()); }

    CTempFolder m_dir;
    CNoiseSynth m_synth;
};

TEST_F(CompressedFileTest, FlacDecodesToExactlyTheWaveSamples)
{
    ASSERT_TRUE(Render(m_synth, m_dir / "a.wav"));
    ASSERT_TRUE(Render(m_synth, m_dir / "a.flac"));
    const Decoded wave = Decode(m_dir / "a.wav");
    const Decoded flac = Decode(m_dir / "a.flac");
    EXPECT_EQ(flac.rate, 44100);
    ASSERT_EQ(wave.samples.size(), static_cast<size_t>(kSeconds * 44100));
    EXPECT_TRUE(flac.samples == wave.samples);
}

TEST_F(CompressedFileTest, WaveStaysTheWritersOwnFile)
{
    ASSERT_TRUE(Render(m_synth, m_dir / "a.wav"));
    ASSERT_TRUE(Render(m_synth, m_dir / "b")); // no suffix: WAV as ever
    EXPECT_EQ(ReadAll(m_dir / "a.wav"), ReadAll(m_dir / "b"));
}

struct LossyRow
{
    const char* name;
    const char* suffix;
    int rate;
    double minKbits;
    double maxKbits;
    double toleranceDb; // per octave; Opus at 48 kbit/s thins the top octave a little
};

struct LossyFileTest : CompressedFileTest, ::testing::WithParamInterface<LossyRow>
{};

TEST_P(LossyFileTest, DecodesToTheLengthSpectrumAndBitrate)
{
    const LossyRow& row = GetParam();
    const std::string name = m_dir / (std::string("a") + row.suffix);
    ASSERT_TRUE(Render(m_synth, m_dir / "a.wav"));
    ASSERT_TRUE(Render(m_synth, name));
    const Decoded wave = Decode(m_dir / "a.wav");
    const Decoded lossy = Decode(name);
    ASSERT_EQ(lossy.rate, row.rate);
    // The codec's delay and last frame may add a little, never lose sound.
    const double expected = kSeconds * row.rate;
    EXPECT_GE(static_cast<double>(lossy.samples.size()), expected - 0.01 * row.rate);
    EXPECT_LE(static_cast<double>(lossy.samples.size()), expected + 0.1 * row.rate);
    const std::vector<double> a = OctaveLevels(wave);
    const std::vector<double> b = OctaveLevels(lossy);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_NEAR(b[i], a[i], row.toleranceDb) << "octave " << i;
    const double kbits = static_cast<double>(ReadAll(name).size()) * 8.0 / kSeconds / 1000.0;
    EXPECT_GE(kbits, row.minKbits);
    EXPECT_LE(kbits, row.maxKbits);
}

INSTANTIATE_TEST_SUITE_P(Types, LossyFileTest,
                         ::testing::Values(LossyRow{"Opus", ".opus", 48000, 40.0, 56.0, 4.0},
                                           LossyRow{"Mp3", ".mp3", 44100, 90.0, 102.0, 2.0}),
                         RowName{});

// A small file system of the test's own; false where none can be mounted.
bool MountSmall(const std::string& folder, unsigned long flags)
{
    return mkdir(folder.c_str(), 0700) == 0 && mount("tmpfs", folder.c_str(), "tmpfs", flags, "size=1m") == 0;
}

enum class Place
{
    Folder,
    FullDisk,
    SmallDisk,
    ReadOnlyDisk
};

struct FailureRow
{
    const char* name;
    const char* file; // in the temp folder
    Place place;
    double seconds;
    const char* verb; // the message is "I can't <verb> <file><rest>"
    const char* rest;
    bool whole; // the message is only that, not just its start
};

struct FailedFileTest : CompressedFileTest, ::testing::WithParamInterface<FailureRow>
{};

TEST_P(FailedFileTest, IsReportedAndLeavesNoFile)
{
    const FailureRow& row = GetParam();
    const std::string name = m_dir / row.file;
    const std::string folder = name.substr(0, name.rfind('/'));
    const bool mount = row.place == Place::SmallDisk || row.place == Place::ReadOnlyDisk;
    if (mount && !MountSmall(folder, row.place == Place::ReadOnlyDisk ? MS_RDONLY : 0))
        GTEST_SKIP() << "no file system can be mounted here";
    ASSERT_TRUE(row.place != Place::FullDisk || symlink("/dev/full", name.c_str()) == 0);
    const std::string text = IoResultText(Render(m_synth, name, row.seconds));
    const bool left = row.place != Place::FullDisk && access(name.c_str(), F_OK) == 0;
    if (mount)
        umount(folder.c_str());
    const std::string message = std::string("I can't ") + row.verb + " " + name + row.rest;
    if (row.whole)
        EXPECT_EQ(text, message);
    else
        EXPECT_EQ(text.rfind(message, 0), 0u) << text;
    EXPECT_FALSE(left);
}

// Read-only even for root, who may write into any folder otherwise; 13:31:36
// is one second past the WAV header's reach.
INSTANTIATE_TEST_SUITE_P(
    Cases, FailedFileTest,
    ::testing::Values(FailureRow{"unknown suffix", "a.ogg", Place::Folder, kSeconds, "write", "", false},
                      FailureRow{"missing folder", "none/a.flac", Place::Folder, kSeconds, "open", "", false},
                      FailureRow{"full disk flac", "full.flac", Place::FullDisk, kSeconds, "write",
                                 ": No space left on device", true},
                      FailureRow{"full disk opus", "full.opus", Place::FullDisk, kSeconds, "write",
                                 ": No space left on device", true},
                      FailureRow{"full disk mp3", "full.mp3", Place::FullDisk, kSeconds, "write",
                                 ": No space left on device", true},
                      FailureRow{"too little free space", "small/night.opus", Place::SmallDisk, 3600.0, "write",
                                 ": it needs about 24 MB", false},
                      FailureRow{"unwritable folder", "read-only/a.flac", Place::ReadOnlyDisk, 1.0, "open",
                                 ": Read-only file system", true},
                      FailureRow{"wave longer than its header", "long.wav", Place::Folder, 48696.0, "write",
                                 ": a sound file can be at most 13:31:35 (48695 s) long", true},
                      FailureRow{"compressed longer than a day", "long.opus", Place::Folder, 86400.0, "write",
                                 ": a sound file can be at most 23:59:59 long", true}),
    RowName{});

struct TypeRow
{
    const char* name;
    const char* suffix;
};

struct EveryType : CompressedFileTest, ::testing::WithParamInterface<TypeRow>
{};

TEST_P(EveryType, TheSameSeedMakesTheSameFile)
{
    SoundValues sound = Surf();
    sound.endless = true;
    sound.seed = 42;
    const std::string a = m_dir / (std::string("a") + GetParam().suffix);
    const std::string b = m_dir / (std::string("b") + GetParam().suffix);
    ASSERT_TRUE(Render(m_synth, a, 6.0, sound));
    ASSERT_TRUE(Render(m_synth, b, 6.0, sound));
    EXPECT_TRUE(SameBytes(ReadAll(a), ReadAll(b)));
    EXPECT_GT(ReadAll(a).size(), 10000u);
}

// Without the flush a power cut after the rename can leave an empty file
// under the final name; a write, flush or rename that fails leaves the old
// file and no temporary.
TEST_P(EveryType, AFailedWriteFlushOrRenameLeavesTheOldFile)
{
    const std::string name = m_dir / (std::string("night") + GetParam().suffix);
    const FileSystemCalls failingFlush{[](int) {
                                           errno = EIO;
                                           return -1;
                                       },
                                       ::rename};
    const FileSystemCalls failingRename{::fsync, [](const char*, const char*) {
                                            errno = EXDEV;
                                            return -1;
                                        }};
    std::ofstream(name) << "the old night";
    EXPECT_EQ(IoResultText(WithFileSizeLimit(65536, [&] { return Render(m_synth, name, 60.0); })),
              "I can't write " + name + ": File too large");
    EXPECT_EQ(IoResultText(Render(m_synth, name, 2.0, Surf(), failingFlush)),
              "I can't write " + name + ": Input/output error");
    EXPECT_EQ(IoResultText(Render(m_synth, name, 2.0, Surf(), failingRename)),
              "I can't write " + name + ": Invalid cross-device link");
    EXPECT_EQ(ReadAll(name), "the old night");
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{std::string("night") + GetParam().suffix});
}

INSTANTIATE_TEST_SUITE_P(Types, EveryType,
                         ::testing::Values(TypeRow{"Wave", ".wav"}, TypeRow{"Flac", ".flac"}, TypeRow{"Opus", ".opus"},
                                           TypeRow{"Mp3", ".mp3"}),
                         RowName{});

// White noise without surf is the loudest signal there is, and the one FLAC
// packs worst: the free-space estimate must cover it, and not by much more.
TEST_F(CompressedFileTest, TheFlacEstimateBoundsTheLoudestNoiseClosely)
{
    SoundValues loudest;
    loudest.noiseType = White;
    loudest.lowerLimit = 20.0;
    loudest.upperLimit = 20000.0;
    loudest.surfStrength = 0.0;
    CNoiseSynth synth;
    MakeSignal(synth, loudest);
    ASSERT_TRUE(Render(synth, m_dir / "white.flac", 20.0, loudest));
    const double bytes = static_cast<double>(ReadAll(m_dir / "white.flac").size());
    const double estimate = static_cast<double>(EstimatedFileBytes(SoundFileType::Flac, 20.0));
    EXPECT_GE(estimate, bytes);
    EXPECT_LE(estimate, 1.1 * bytes) << "a bound far above the loudest noise refuses files that would fit";
}

TEST_F(CompressedFileTest, Mp3IntoAPipeIsRefusedWithTheReason)
{
    const std::string name = m_dir / "pipe.mp3";
    ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
    EXPECT_EQ(IoResultText(Render(m_synth, name, 2.0)),
              "I can't write " + name
                  + ": MP3 files can only be written into regular files, not into pipes or devices");
    struct stat info = {};
    ASSERT_EQ(::stat(name.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

} // namespace
