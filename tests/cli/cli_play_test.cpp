// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli devices and play, run as a user runs them, on an ALSA "file"
// device whose pipe this test reads at the pace of a sound card.

#include <signal.h>
#include <spawn.h>

#include <gtest/gtest.h>

#include "testing/paced_capture.h"
#include "testing/temp_folder.h"

extern char** environ;

namespace {

const std::string kStatus = "susurra-cli: generating noise signal\nsusurra-cli: playing\nsusurra-cli: nothing to do\n";

struct CliPlayTest : testing::Test
{
    // susurra-cli ARGS on ALSA reading our configuration, through the shell.
    std::string Cli(const std::string& args) const
    {
        return "env SUSURRA_BACKEND=alsa ALSA_CONFIG_PATH='" + m_dir / "asound.conf' " SUSURRA_CLI " " + args;
    }
    int Run(const std::string& args) const { return RunShell(m_dir, Cli(args)); }
    std::string Out() const { return ReadAll(m_dir / "out"); }
    std::string Err() const { return ReadAll(m_dir / "err"); }

    CTempFolder m_dir;
};

TEST_F(CliPlayTest, WithoutUsableDevicesBothCommandsSaySoAndFail)
{
    std::ofstream(m_dir / "asound.conf") << "</usr/share/alsa/alsa.conf>\n";  // no sound card, nothing else
    EXPECT_EQ(Run("devices"), 1);
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Err(), "susurra-cli: No audio mixer device found\n") << "the audio libraries keep quiet";
    EXPECT_EQ(Run("play --duration 00:00:01"), 1);
    EXPECT_EQ(Err(), "susurra-cli: No audio mixer device found\n");
    // A setting name is checked before any device is touched.
    EXPECT_EQ(Run("play --noise-setting Nope"), 2);
    EXPECT_NE(Err().find("there is no noise setting named \"Nope\""), std::string::npos) << Err();
    EXPECT_NE(Err().find("  Wideband White Noise\n"), std::string::npos) << Err();
}

TEST_F(CliPlayTest, PlaysForTheDurationOrUntilInterruptedAndStopsCleanly)
{
    CPacedCapture capture(m_dir / "capture.raw");
    WriteFileDeviceConfig(m_dir / "asound.conf", m_dir / "capture.raw");
    EXPECT_EQ(Run("devices"), 0);
    EXPECT_EQ(Out(), "  0  default\n");
    EXPECT_EQ(Err(), "");
    EXPECT_EQ(Run("play --device 3"), 2);
    EXPECT_NE(Err().find("no usable sound device '3'"), std::string::npos);

    EXPECT_EQ(Run("play --type tinnitus --tinnitus-freq 1000 --surf-strength 0 --volume 461 --device default "
                  "--duration 00:00:01"), 0);
    EXPECT_EQ(Err(), kStatus);
    capture.WaitQuiet();
    // The whole tone at full scale: peaks of 2999 (sin never reaches 1 exactly here).
    const std::vector<int16_t> got = capture.Copy();
    EXPECT_GT(got.size(), 22050u);
    EXPECT_EQ(*std::max_element(got.begin(), got.end()), 2999);
    EXPECT_EQ(*std::min_element(got.begin(), got.end()), -2999);

    // Started without the shell in between, so that SIGINT is not ignored.
    const std::size_t before = capture.Samples();
    std::string command = "exec " + Cli("play --type white") + " 2>'" + m_dir / "err'";
    char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), command.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (capture.Samples() < before + 22050 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(pid, SIGINT);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Err(), kStatus);
}

TEST_F(CliPlayTest, ADeviceFailingWhilePlayingIsReportedOnceWithoutTheAudioLibrarysInternals)
{
    // The device's reader leaves after about a second of sound.
    std::ofstream(m_dir / "asound.conf") << "</usr/share/alsa/alsa.conf>\n"
                                            "pcm.!default { type file slave.pcm \"null\" format \"raw\" "
                                            "file \"|head -c 200000 >/dev/null\" }\n";
    EXPECT_EQ(Run("play --duration 00:00:30"), 1);
    EXPECT_EQ(Err(), "susurra-cli: generating noise signal\nsusurra-cli: playing\nsusurra-cli: nothing to do\n"
                     "susurra-cli: the sound device failed; playback stopped\n");
}

}  // namespace
