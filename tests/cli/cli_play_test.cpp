// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli devices and play, run as a user runs them, on an ALSA "file"
// device whose pipe this test reads at the pace of a sound card.

#include <signal.h>
#include <spawn.h>

#include <gtest/gtest.h>

#include <cmath>

#include "playback/fade_curve.h"
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

// Level in dB of 50 ms of the stream from `at` on, against the unfaded stream.
double StretchDb(const std::vector<int16_t>& faded, const std::vector<int16_t>& plain, std::size_t at)
{
    double num = 0, den = 0;
    for (std::size_t i = at; i < at + 2205; ++i) {
        num += double(faded[i]) * faded[i];
        den += double(plain[i]) * plain[i];
    }
    return num == 0 ? -200.0 : 10.0 * std::log10(num / den);
}

TEST_F(CliPlayTest, FadesRiseAfterPlayAndFallEvenlyToSilenceAtTheEndOfTheDuration)
{
    CPacedCapture capture(m_dir / "capture.raw");
    WriteFileDeviceConfig(m_dir / "asound.conf", m_dir / "capture.raw");
    const std::string sound = "play --type white --surf-strength 0 --volume 461 ";
    EXPECT_EQ(Run(sound + "--fade-out 8"), 2);
    EXPECT_NE(Err().find("--fade-out needs --duration"), std::string::npos) << Err();
    EXPECT_EQ(Run(sound + "--duration 00:00:05 --fade-out 8"), 2);
    EXPECT_NE(Err().find("--fade-out: 8 s is longer than --duration (5 s)"), std::string::npos) << Err();
    EXPECT_EQ(Run(sound + "--fade-in 61"), 2);
    EXPECT_EQ(capture.Samples(), 0u) << "refused before any sound";

    // The unfaded stream: white noise repeats every 262144 samples, so a
    // little more than one period is all of it.
    constexpr std::size_t kPeriod = 262144;
    ASSERT_EQ(Run(sound + "--duration 00:00:07"), 0);
    capture.WaitQuiet();
    // The device may put a little silence before a stream: each run is
    // taken from its first sound on.
    std::vector<int16_t> period = capture.Copy();
    period.erase(period.begin(), std::find_if(period.begin(), period.end(), [](int16_t v) { return v != 0; }));
    ASSERT_GE(period.size(), kPeriod);
    const std::size_t before = capture.Samples();

    ASSERT_EQ(Run(sound + "--duration 00:00:12 --fade-in 2 --fade-out 8"), 0);
    EXPECT_EQ(Err(), kStatus);
    capture.WaitQuiet();
    const std::vector<int16_t> all = capture.Copy();
    constexpr std::size_t kEnd = 12 * 44100;
    std::vector<int16_t> plain(kEnd);
    for (std::size_t i = 0; i < kEnd; ++i)
        plain[i] = period[i % kPeriod];
    // The rise starts in silence, so the run is placed by its unfaded stretch.
    std::size_t lead = 0;
    while (lead < 44100 && !std::equal(plain.begin() + 88200, plain.begin() + 88200 + 256,
                                       all.begin() + static_cast<std::ptrdiff_t>(before + lead + 88200)))
        ++lead;
    ASSERT_LT(lead, 44100u) << "the unfaded stretch was not found";
    const std::vector<int16_t> faded(all.begin() + static_cast<std::ptrdiff_t>(before + lead), all.end());
    ASSERT_GE(faded.size(), kEnd);

    // From 2 s to 4 s the stream is the unfaded one, sample for sample.
    for (std::size_t i = 2 * 44100; i < 4 * 44100; ++i)
        ASSERT_EQ(faded[i], plain[i]) << i;
    // The rise: every sample is the unfaded one at the curve's gain.
    for (std::size_t i = 0; i < 2 * 44100; ++i)
        ASSERT_EQ(faded[i], FadeCurve::Scale(plain[i], FadeCurve::RiseGain(static_cast<int64_t>(i), 2 * 44100))) << i;
    for (std::size_t at = 2205; at < 2 * 44100; at += 2205)
        EXPECT_GE(StretchDb(faded, plain, at), StretchDb(faded, plain, at - 2205)) << at;
    // The fall: even steps of under 1 dB per 50 ms down to 60 dB, then silence at 12 s.
    double largest = 0, smallest = 100;
    for (std::size_t at = 4 * 44100 + 2205; at < kEnd; at += 2205) {
        const double previous = StretchDb(faded, plain, at - 2205);
        if (previous < -60)
            break;
        const double step = previous - StretchDb(faded, plain, at);
        largest = std::max(largest, step);
        smallest = std::min(smallest, step);
    }
    EXPECT_LE(largest, 1.0);
    EXPECT_GE(smallest, 0.2);
    EXPECT_LT(StretchDb(faded, plain, kEnd - 2205), -60.0);
    // Nothing arrives after the end: at most the device's own silence.
    for (std::size_t i = kEnd; i < faded.size(); ++i)
        ASSERT_EQ(faded[i], 0) << i;
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

