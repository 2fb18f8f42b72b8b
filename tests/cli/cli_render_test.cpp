// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "soundfile/wave_writer.h"
#include "synth/noise_synth.h"
#include "testing/file_compare.h"
#include "testing/param_name.h"
#include "testing/temp_folder.h"

namespace {

class CliRenderTest : public ::testing::Test
{
protected:
    int Render(const std::string& args) { return RunShell(m_dir, std::string(SUSURRA_CLI) + " render " + args); }
    std::string Err() const { return ReadAll(m_dir / "err"); }

    // What the window's To File writes as the first signal of the program.
    std::string LibraryFile(int type, double frequency, double seconds, double s, double p, double fadeIn,
                            double fadeOut)
    {
        CNoiseSynth synth;
        if (type == 3)
            synth.SynthesizeTone(frequency);
        else
            synth.Synthesize(type, 100.0, 20000.0);
        CWaveWriter writer;
        writer.source = synth.m_source.get();
        EXPECT_TRUE(writer.SetFileName(m_dir / "library.wav"));
        EXPECT_TRUE(writer.Write(seconds, s, p, fadeIn, fadeOut, type == 3 ? 44100 : 262144));
        return ReadAll(m_dir / "library.wav");
    }

    CTempFolder m_dir;
};

}  // namespace

TEST_F(CliRenderTest, FilesAndStandardOutputHoldTheSameBytesAsTheWindowWrites)
{
    ASSERT_EQ(Render("--length 00:00:25 --fade-in 3 --fade-out 4 '" + m_dir / "out.wav" + "'"), 0) << Err();
    const std::string expected = LibraryFile(2, 440.0, 25.0, 30.0, 20.0, 3.0, 4.0);
    EXPECT_EQ(expected.size(), 44u + 2u * 25u * 44100u);
    EXPECT_TRUE(SameBytes(ReadAll(m_dir / "out.wav"), expected));
    EXPECT_EQ(Err(), "") << "not a terminal: no progress bar";

    ASSERT_EQ(Render("--type tinnitus --tinnitus-freq 6000 --surf-strength 55 --surf-period 1.5 "
                     "--fade-in=0.5 --fade-out 2 --length 00:00:04 -"), 0) << Err();
    EXPECT_TRUE(SameBytes(ReadAll(m_dir / "out"), LibraryFile(3, 6000.0, 4.0, 55.0, 1.5, 0.5, 2.0)));
}

namespace {

struct RefusalRow
{
    const char* name;
    std::string args;     // "{dir}" stands for the test's folder
    int status;
    std::string message;  // after "susurra-cli: "; "{dir}" as in args
};

class CliRenderRefusal : public CliRenderTest, public ::testing::WithParamInterface<RefusalRow>
{
protected:
    std::string InFolder(std::string text) const
    {
        for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;)
            text.replace(at, 5, m_dir.Path());
        return text;
    }
};

}  // namespace

TEST_P(CliRenderRefusal, RefusesWithTheWindowMessageAndLeavesNoFile)
{
    const RefusalRow& row = GetParam();
    const std::string output = row.status == 2 ? " '" + m_dir / "x.wav" + "'" : "";
    EXPECT_EQ(Render(InFolder(row.args) + output), row.status) << row.args;
    EXPECT_EQ(Err(), "susurra-cli: " + InFolder(row.message) + "\n");
    EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"err", "out"}));
}

INSTANTIATE_TEST_SUITE_P(
    BadValuesAndFileErrors, CliRenderRefusal,
    ::testing::Values(
        RefusalRow{"lower below range", "--lower 19.9", 2, "--lower: Please enter a number between 20 and 20000."},
        RefusalRow{"upper not a number", "--upper=abc", 2, "--upper: Please enter a number."},
        RefusalRow{"tinnitus frequency not whole", "--tinnitus-freq 440.5", 2,
                   "--tinnitus-freq: Please enter an integer."},
        RefusalRow{"surf period negative", "--surf-period -1", 2,
                   "--surf-period: Please enter a number between 0 and 10000."},
        RefusalRow{"fade out above range", "--fade-out 1000.5", 2,
                   "--fade-out: Please enter a number between 0 and 1000."},
        RefusalRow{"length beyond a wave file", "--length 13:31:36", 2,
                   "--length: a WAV file can hold at most 13:31:35 of sound."},
        RefusalRow{"missing folder", "--length 00:00:01 '{dir}no/x.wav'", 1, "I can't open {dir}no/x.wav: No such file or directory"},
        RefusalRow{"full device", "--length 00:00:30 /dev/full", 1, "I can't write /dev/full: No space left on device"}),
    RowName());

namespace {

struct SignalRow
{
    const char* name;
    const char* signal;
    int status;  // the shell's 128 + signal number
};

class CliRenderSignal : public CliRenderTest, public ::testing::WithParamInterface<SignalRow>
{
};

}  // namespace

TEST_P(CliRenderSignal, StopsTheRenderAndLeavesTheOldFileWithoutATemporary)
{
    const std::string folder = m_dir / "files";
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/x.wav") << "the old file";
    const std::string command = std::string("sh -c '") + SUSURRA_CLI +
                                " render --length 10:00:00 " + folder + "/x.wav & pid=$!; sleep 1; kill -" +
                                GetParam().signal + " $pid; wait $pid'";
    EXPECT_EQ(RunShell(m_dir, command), GetParam().status) << Err();
    EXPECT_EQ(ReadAll(folder + "/x.wav"), "the old file");
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"x.wav"});
}

INSTANTIATE_TEST_SUITE_P(Signals, CliRenderSignal,
                         ::testing::Values(SignalRow{"termination", "TERM", 143}, SignalRow{"hang-up", "HUP", 129}),
                         RowName());

TEST_F(CliRenderTest, AWritableFileInAFolderTheUserMayNotWriteIsStillWritten)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "needs root to run the program as another user";
    const std::string folder = m_dir / "locked";
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(SUSURRA_CLI, m_dir / "susurra-cli");
    std::ofstream(folder + "/x.wav") << "the old file";
    ::chmod(m_dir.Path().c_str(), 0755);
    ::chmod(folder.c_str(), 0755);
    ::chmod((folder + "/x.wav").c_str(), 0666);
    const std::string command = "HOME=/nonexistent setpriv --reuid=65534 --regid=65534 --clear-groups '" +
                                m_dir / "susurra-cli' render --length 00:00:01 " + folder + "/x.wav";
    ASSERT_EQ(RunShell(m_dir, command), 0) << Err();
    EXPECT_EQ(ReadAll(folder + "/x.wav").size(), 44u + 2u * 44100u);
}

TEST_F(CliRenderTest, SuffixChoosesTheFileTypeInAnyCase)
{
    ASSERT_EQ(Render("--length 00:00:03 '" + m_dir / "a.FLAC" + "'"), 0) << Err();
    EXPECT_EQ(ReadAll(m_dir / "a.FLAC").substr(0, 4), "fLaC");
    ASSERT_EQ(Render("--length 00:00:03 '" + m_dir / "a.opus" + "'"), 0) << Err();
    EXPECT_EQ(ReadAll(m_dir / "a.opus").substr(0, 4), "OggS");
    ASSERT_EQ(Render("--length 00:00:03 '" + m_dir / "a.mp3" + "'"), 0) << Err();
    EXPECT_FALSE(ReadAll(m_dir / "a.mp3").empty());
}

TEST_F(CliRenderTest, UnknownSuffixIsRefusedWithStatus2AndNoFile)
{
    EXPECT_EQ(Render("--length 00:00:01 '" + m_dir / "x.ogg" + "'"), 2);
    EXPECT_EQ(Err(), "susurra-cli: " + m_dir / "x.ogg" +
                         ": the name must end in .wav, .flac, .opus or .mp3 (the suffix chooses the file type).\n");
    EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"err", "out"}));
}

TEST_F(CliRenderTest, VersionIsTheProjectsAndExitsZero)
{
    ASSERT_EQ(RunShell(m_dir, std::string(SUSURRA_CLI) + " --version"), 0);
    EXPECT_EQ(ReadAll(m_dir / "out"), "susurra-cli " SUSURRA_VERSION "\n");
}
