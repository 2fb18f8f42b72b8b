#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "soundfile/wave_writer.h"
#include "synth/noise_synth.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CliRenderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("cli_render_test_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs "susurra-cli render ARGS" with stdout and stderr caught in files;
    // returns the exit status.
    int Render(const std::string& args)
    {
        const std::string command = std::string(SUSURRA_CLI) + " render " + args + " > '" +
                                    (m_dir / "stdout").string() + "' 2> '" +
                                    (m_dir / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Stderr() const { return ReadAll(m_dir / "stderr"); }

    // What the window's To File writes as the first signal of the program.
    std::string LibraryFile(int type, double lower, double upper, double frequency,
                            double seconds, double s, double p, double fadeIn, double fadeOut)
    {
        CNoiseSynth synth;
        if (type == 3)
            synth.SynthesizeTone(frequency);
        else
            synth.Synthesize(type, lower, upper);
        CWaveWriter writer;
        writer.source = synth.m_source.get();
        EXPECT_TRUE(writer.SetFileName((m_dir / "library.wav").string()));
        EXPECT_TRUE(writer.Write(seconds, s, p, fadeIn, fadeOut, type == 3 ? 44100 : 262144));
        return ReadAll(m_dir / "library.wav");
    }

    fs::path m_dir;
};

}  // namespace

TEST_F(CliRenderTest, DefaultsWriteTheSameBytesAsTheWindow)
{
    const std::string out = (m_dir / "out.wav").string();
    ASSERT_EQ(Render("--length 00:00:25 --fade-in 3 --fade-out 4 '" + out + "'"), 0) << Stderr();
    const std::string expected = LibraryFile(2, 100.0, 20000.0, 440.0, 25.0, 30.0, 20.0, 3.0, 4.0);
    EXPECT_EQ(expected.size(), 44u + 2u * 25u * 44100u);
    EXPECT_TRUE(ReadAll(out) == expected);
    EXPECT_EQ(Stderr(), "");  // not a terminal: no progress bar
}

TEST_F(CliRenderTest, ToneAndStandardOutputMatchTheWindow)
{
    ASSERT_EQ(Render("--type tinnitus --tinnitus-freq 6000 --surf-strength 55 --surf-period 1.5 "
                     "--fade-in=0.5 --fade-out 2 --length 00:00:04 -"),
              0)
        << Stderr();
    const std::string expected = LibraryFile(3, 0, 0, 6000.0, 4.0, 55.0, 1.5, 0.5, 2.0);
    EXPECT_TRUE(ReadAll(m_dir / "stdout") == expected);
}

TEST_F(CliRenderTest, BadValuesAreRefusedWithTheWindowsMessages)
{
    const struct
    {
        const char* args;
        const char* message;
    } cases[] = {
        {"--lower 19.9", "--lower: Please enter a number between 20 and 20000."},
        {"--upper=abc", "--upper: Please enter a number."},
        {"--tinnitus-freq 440.5", "--tinnitus-freq: Please enter an integer."},
        {"--surf-period -1", "--surf-period: Please enter a number between 0 and 10000."},
        {"--fade-out 1000.5", "--fade-out: Please enter a number between 0 and 1000."},
        {"--length 13:31:36", "--length: a WAV file can hold at most 13:31:35 of sound."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render(std::string(c.args) + " '" + (m_dir / "x.wav").string() + "'"), 2)
            << c.args;
        EXPECT_EQ(Stderr(), std::string("susurra-cli: ") + c.message + "\n");
        EXPECT_FALSE(fs::exists(m_dir / "x.wav"));
    }
}

TEST_F(CliRenderTest, FileErrorsExitWithTheWritersMessage)
{
    const std::string missing = (m_dir / "no" / "x.wav").string();
    EXPECT_EQ(Render("--length 00:00:01 '" + missing + "'"), 1);
    EXPECT_EQ(Stderr(), "susurra-cli: I can't open " + missing + "\n");
    EXPECT_EQ(Render("--length 00:00:30 /dev/full"), 1);
    EXPECT_EQ(Stderr(), "susurra-cli: I can't write /dev/full\n");
}
