// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/wave_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <csignal>

#include "synth/rounding.h"
#include "testing/file_compare.h"
#include "testing/alloc_counter.h"
#include "testing/param_name.h"
#include "testing/other_user.h"
#include "testing/report_logs.h"
#include "testing/temp_folder.h"

namespace
{

struct Params
{
    const char* name;
    double totalSeconds;
    double surfStrength;
    double surfPeriod;
    double fadeIn;
    double fadeOut;
    uint32_t blockLength;
};

std::string Le(uint32_t value, int bytes)
{
    std::string b;
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<char>(value >> (8 * i)));
    return b;
}

// The writer as the design states it: one thread, block by block, the
// fade counters kept as counters, the formulas in their written order.
std::string ReferenceFile(const std::vector<int16_t>& source, const Params& p)
{
    const double t = p.totalSeconds * 44100.0;
    const double f = p.blockLength;
    const long blocks = static_cast<long>(std::ceil(t / f));
    const int n = RoundHalfUp(t);
    const int fi = RoundHalfUp(p.fadeIn * 44100.0);
    const int fo = RoundHalfUp(p.fadeOut * 44100.0);
    const long bi = static_cast<long>(std::ceil(fi / f));

    std::string b = "RIFF" + Le(2 * n + 36, 4) + "WAVEfmt "
                    + std::string("\x10\0\0\0\1\0\1\0\x44\xAC\0\0\x88\x58\1\0\2\0\x10\0", 20) + "data" + Le(2 * n, 4);
    const double d = std::exp(2.0) - 1.0;
    long k = 0, kIn = 0, kOut = 0;
    for (long i = 1; i <= blocks; ++i)
    {
        for (uint32_t j = 0; j < p.blockLength && k < n; ++j)
        {
            const double s = source[j];
            double g = 0.0;
            if (p.surfPeriod != 0.0)
            {
                const double theta = (k / p.surfPeriod) * 0.00014247585730565955;
                g = (std::exp(2 - 0.01 * p.surfStrength * (1 + std::cos(theta))) - 1) / d;
            }
            double v = 0.1 * s * g;
            if (i <= bi && kIn < fi)
            {
                v *= std::exp(3 * (static_cast<double>(kIn) / fi - 1));
                ++kIn;
            }
            if (fo <= n && k >= n - fo)
            {
                v *= std::exp(-3.0 * kOut / fo);
                ++kOut;
            }
            ++k;
            b += Le(static_cast<uint16_t>(static_cast<int16_t>(RoundHalfAway(v))), 2);
        }
    }
    return b;
}

class WaveWriterTest : public ::testing::Test
{
protected:
    WaveWriterTest() : m_source(CWaveWriter::kMaxBlockSamples)
    {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> value(-10000, 10000);
        for (int16_t& s : m_source)
            s = static_cast<int16_t>(value(random));
    }
    void Attach(CWaveWriter& writer, const std::string& path)
    {
        writer.source = m_source.data();
        writer.progress = &m_progress;
        ASSERT_TRUE(writer.SetFileName(path));
    }
    // A second of noise with surf into `path` by a writer of its own.
    CIoResult WriteSecond(const std::string& path)
    {
        CWaveWriter writer;
        Attach(writer, path);
        return writer.Write(1.0, 30.0, 20.0, 0.0, 0.0, 262144);
    }

    CTempFolder m_dir;
    std::vector<int16_t> m_source;
    CProgressLog m_progress;
};

struct WaveWriterFile : WaveWriterTest, ::testing::WithParamInterface<Params>
{};

} // namespace

TEST_P(WaveWriterFile, MatchesTheReferenceByteForByteWithAnyNumberOfWorkers)
{
    const Params& p = GetParam();
    const std::string reference = ReferenceFile(m_source, p);
    for (const int workers : {0, 1, 2})
    {
        CWaveWriter writer(workers);
        // Twice: a writer that has written a file writes the next the same.
        for (int round = 0; round < 2; ++round)
        {
            Attach(writer, m_dir / "out.wav");
            ASSERT_TRUE(writer.Write(p.totalSeconds, p.surfStrength, p.surfPeriod, p.fadeIn, p.fadeOut, p.blockLength));
            EXPECT_TRUE(SameBytes(ReadAll(m_dir / "out.wav"), reference))
                << "workers " << workers << ", round " << round;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WaveWriterFile,
                         ::testing::Values(Params{"surf across block boundaries", 13.0, 30.0, 2.0, 0.0, 0.0, 262144},
                                           Params{"fades overlapping", 9.0, 45.0, 3.3, 6.0, 5.0, 262144},
                                           Params{"fade-in longer than file", 4.0, 20.0, 1.0, 10.0, 1.5, 262144},
                                           Params{"fade-out longer than file", 4.0, 80.0, 0.7, 1.0, 10.0, 262144},
                                           Params{"fade-out as long as the file", 4.0, 30.0, 2.0, 0.0, 4.0, 262144},
                                           Params{"no surf, fade-out as long as the file", 4.0, 0.0, 20.0, 0.0, 4.0,
                                                  262144},
                                           Params{"tone blocks", 5.0, 100.0, 1.5, 1.2, 2.4, 44100},
                                           Params{"odd length", 2.00002, 10.0, 0.9, 0.00003, 0.5, 44100},
                                           Params{"no surf, fades", 17.0, 0.0, 8.0, 3.0, 7.0, 262144},
                                           Params{"no surf, no fades", 12.0, 0.0, 20.0, 0.0, 0.0, 262144},
                                           Params{"zero period", 3.0, 30.0, 0.0, 1.0, 1.0, 262144},
                                           Params{"zero length: a bare header", 0.0, 30.0, 20.0, 10.0, 10.0, 262144}),
                         RowName());

TEST_F(WaveWriterTest, SixtySecondsOfNoiseTakeElevenBlocksWithoutAllocating)
{
    CWaveWriter writer;
    // The first file starts the workers; files after it allocate nothing.
    Attach(writer, m_dir / "first.wav");
    ASSERT_TRUE(writer.Write(12.0, 30.0, 20.0, 1.0, 1.0, 262144));
    m_progress.m_positions.clear();
    Attach(writer, m_dir / "minute.wav");
    CAllocScope scope;
    ASSERT_TRUE(writer.Write(60.0, 30.0, 20.0, 10.0, 10.0, 262144));
    EXPECT_EQ(scope.Allocations(), 0u);
    EXPECT_EQ(std::filesystem::file_size(m_dir / "minute.wav"), 44u + 2u * 2646000u);
    EXPECT_EQ(m_progress.m_positions, (std::vector<int>{0, 9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100, 100}));
}

TEST_F(WaveWriterTest, FailuresAreReportedAndLeaveNoFileBehind)
{
    CWaveWriter writer;
    Attach(writer, m_dir / "no/such/folder/x.wav");
    EXPECT_EQ(IoResultText(writer.Write(5.0, 30.0, 20.0, 0.0, 0.0, 262144)),
              "I can't open " + m_dir / "no/such/folder/x.wav: No such file or directory");
    EXPECT_EQ(m_progress.m_positions, std::vector<int>{0});
    // /dev/full with and without surf; only regular files are removed afterwards.
    Attach(writer, "/dev/full");
    EXPECT_EQ(IoResultText(writer.Write(20.0, 30.0, 20.0, 0.0, 0.0, 262144)),
              "I can't write /dev/full: No space left on device");
    EXPECT_EQ(IoResultText(writer.Write(20.0, 0.0, 20.0, 0.0, 0.0, 262144)),
              "I can't write /dev/full: No space left on device");
    EXPECT_NE(m_progress.m_positions.back(), 100);
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{});
}

TEST_F(WaveWriterTest, AFailedOrCancelledWriteLeavesTheOldFileAndNoTemporary)
{
    std::ofstream(m_dir / "old.wav") << "the old file";
    CWaveWriter writer;
    Attach(writer, m_dir / "old.wav");
    EXPECT_EQ(IoResultText(WithFileSizeLimit(100000, [&] { return writer.Write(20.0, 30.0, 20.0, 0.0, 0.0, 262144); })),
              "I can't write " + m_dir / "old.wav: File too large");
    std::atomic<bool> cancel{true};
    writer.cancel = &cancel;
    EXPECT_EQ(writer.Write(20.0, 30.0, 20.0, 0.0, 0.0, 262144).problem, IoProblem::Cancelled);
    EXPECT_EQ(writer.Write(20.0, 0.0, 20.0, 0.0, 0.0, 262144).problem, IoProblem::Cancelled);
    EXPECT_EQ(ReadAll(m_dir / "old.wav"), "the old file");
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"old.wav"});
}

TEST_F(WaveWriterTest, AWholeFileReplacesTheFileALinkPointsAt)
{
    std::ofstream(m_dir / "old.wav") << "the old file";
    std::filesystem::create_symlink(m_dir / "old.wav", m_dir / "link.wav");
    ASSERT_TRUE(WriteSecond(m_dir / "link.wav"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir / "link.wav"));
    EXPECT_EQ(std::filesystem::file_size(m_dir / "old.wav"), 44u + 2u * 44100u);
    EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"link.wav", "old.wav"}));
}

TEST_F(WaveWriterTest, ASubnormalSurfPeriodIsSilenceAfterTheFirstSample)
{
    // n / P overflows for every n > 0; the sanitizer build catches a NaN made
    // an integer.
    CWaveWriter writer;
    Attach(writer, m_dir / "tiny.wav");
    ASSERT_TRUE(writer.Write(2.0, 30.0, 1e-310, 0.5, 0.5, 262144));
    const std::string bytes = ReadAll(m_dir / "tiny.wav");
    ASSERT_EQ(bytes.size(), 44u + 2u * 88200u);
    EXPECT_EQ(bytes.substr(46), std::string(2u * 88199u, '\0'));
}

TEST_F(WaveWriterTest, NamesOfMoreThan255BytesAreRefused)
{
    CWaveWriter writer;
    const std::string name255(255, 'a');
    EXPECT_TRUE(writer.SetFileName(name255));
    EXPECT_FALSE(writer.SetFileName(name255 + "b"));
    EXPECT_EQ(std::string(writer.fileName), name255);
}

namespace
{

enum class Ending
{
    Whole,
    DiskFull,
    Cancelled,
    Killed,
};

struct InPlaceRow
{
    const char* name;
    Ending ending;
};

struct InPlaceFile : WaveWriterTest, ::testing::WithParamInterface<InPlaceRow>
{};

// Ends the process outright once the write is half done, as a power cut or
// SIGKILL would.
class CKillHalfway : public IProgressSink
{
public:
    void SetPos(int position) override
    {
        if (position >= 50)
            ::raise(SIGKILL);
    }
};

uint32_t Le32At(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

// A writable file in a folder the user may not write cannot be replaced, only
// written over; whatever way the write ends, the file must not claim samples
// it lacks.
TEST_P(InPlaceFile, NeverClaimsSamplesItLacks)
{
    const InPlaceRow& row = GetParam();
    const std::string folder = m_dir / "read-only";
    const std::string name = folder + "/x.wav";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    std::ofstream(name) << "the old file";
    ASSERT_EQ(::chmod(name.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0755), 0);
    const Params p{"", 20.0, 30.0, 20.0, 1.0, 1.0, 262144};
    const int status = RunAsOrdinaryUser([&] {
        CWaveWriter writer;
        Attach(writer, name);
        std::atomic<bool> cancel{row.ending == Ending::Cancelled};
        writer.cancel = &cancel;
        CKillHalfway killer;
        if (row.ending == Ending::Killed)
            writer.progress = &killer;
        const auto write = [&] {
            return writer.Write(p.totalSeconds, p.surfStrength, p.surfPeriod, p.fadeIn, p.fadeOut, p.blockLength);
        };
        const CIoResult result = row.ending == Ending::DiskFull ? WithFileSizeLimit(300000, write) : write();
        return result ? 0 : 1;
    });
    const std::string bytes = ReadAll(name);
    ::chmod(folder.c_str(), 0700);
    if (status == kNoOrdinaryUser)
        GTEST_SKIP() << "root here cannot become the user nobody";
    switch (row.ending)
    {
        case Ending::Whole:
            EXPECT_EQ(status, 0);
            EXPECT_TRUE(SameBytes(bytes, ReferenceFile(m_source, p)));
            break;
        case Ending::DiskFull:
        case Ending::Cancelled:
            EXPECT_EQ(status, 1);
            EXPECT_EQ(bytes, "") << "emptied: the folder lets nobody remove it";
            break;
        case Ending::Killed:
            EXPECT_EQ(status, 128 + SIGKILL);
            ASSERT_GT(bytes.size(), 44u);
            EXPECT_EQ(Le32At(bytes, 4), 36u) << "the RIFF size claims no samples";
            EXPECT_EQ(Le32At(bytes, 40), 0u) << "the data size claims no samples";
            break;
    }
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"x.wav"});
}

INSTANTIATE_TEST_SUITE_P(Endings, InPlaceFile,
                         ::testing::Values(InPlaceRow{"whole", Ending::Whole},
                                           InPlaceRow{"disk full", Ending::DiskFull},
                                           InPlaceRow{"cancelled", Ending::Cancelled},
                                           InPlaceRow{"killed", Ending::Killed}),
                         RowName());

TEST_F(WaveWriterTest, AReplacedFileKeepsItsModeAndOwner)
{
    const std::string name = m_dir / "night.wav";
    std::ofstream(name) << "the old file";
    ASSERT_EQ(::chmod(name.c_str(), 0604), 0);
    // Root may give the file to another user; anyone else keeps their own.
    const uid_t owner = OrdinaryUser();
    ASSERT_EQ(::chown(name.c_str(), owner, static_cast<gid_t>(-1)), 0);
    ASSERT_TRUE(WriteSecond(name));
    struct stat info = {};
    ASSERT_EQ(::stat(name.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_size, 44 + 2 * 44100);
}

TEST_F(WaveWriterTest, AFileTheUserMayNotWriteIsNotReplacedInAFolderTheyMay)
{
    const std::string name = m_dir / "theirs.wav";
    std::ofstream(name) << "not yours";
    ASSERT_EQ(::chmod(name.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(m_dir.Path().c_str(), 0777), 0);
    const int status = RunAsOrdinaryUser(
        [&] { return IoResultText(WriteSecond(name)) == "I can't open " + name + ": Permission denied" ? 0 : 1; });
    if (status == kNoOrdinaryUser)
        GTEST_SKIP() << "root here cannot become the user nobody";
    EXPECT_EQ(status, 0) << "refused with the reason";
    EXPECT_EQ(ReadAll(name), "not yours");
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"theirs.wav"});
}

TEST_F(WaveWriterTest, TemporariesOfDeadProcessesAreRemovedAndTheLivingOnesKept)
{
    const pid_t dead = DeadPid();
    const std::string deadName = ".susurra-" + std::to_string(dead) + "-0.tmp";
    const std::string livingName = ".susurra-1-0.tmp"; // init lives as long as the machine
    const std::string othersName = ".susurra-" + std::to_string(dead) + "-0.tmp.keep";
    for (const std::string& leftover : {deadName, livingName, othersName})
        std::ofstream(m_dir / leftover) << "left";
    ASSERT_TRUE(WriteSecond(m_dir / "night.wav"));
    EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{livingName, othersName, "night.wav"}));
}

TEST_F(WaveWriterTest, ALinkToNothingIsRefusedAndStaysALink)
{
    const std::string link = m_dir / "link.wav";
    ASSERT_EQ(::symlink("gone.wav", link.c_str()), 0);
    EXPECT_EQ(IoResultText(WriteSecond(link)),
              "I can't write " + link + ": it is a symbolic link to a file that does not exist");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"link.wav"});
}
