// SPDX-License-Identifier: GPL-3.0-or-later
// The sound-server backend against a real PulseAudio of the test's own,
// whose default sink is a pipe this test reads: what reaches the server,
// a server that dies and comes back, outputs that appear and go.

#include "playback/backends/pulse/pulse_wave_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "playback/fade_curve.h"
#include "synth/ear_gain.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"
#include "testing/engine_doubles.h"
#include "testing/param_name.h"
#include "testing/sound_level.h"
#include "testing/stereo_frames.h"
#include "testing/temp_folder.h"
#include "testing/test_sound_server.h"

namespace
{

using namespace std::chrono_literals;

std::string Output(const std::string& command)
{
    std::string text;
    if (std::FILE* pipe = ::popen(command.c_str(), "r"))
    {
        char chunk[256];
        while (std::fgets(chunk, sizeof chunk, pipe))
            text += chunk;
        ::pclose(pipe);
    }
    return text;
}

// Polls `done` every 10 ms until it holds or `limit` has passed.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done())
    {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

using PulseEngine = CBackendRig<CPulseWaveOut>;

struct PulseWaveOutTest : testing::Test
{
    std::string Cli(const std::string& args) const
    {
        return "env -u SUSURRA_BACKEND HOME='" + m_dir.Path() + "' " SUSURRA_CLI " " + args;
    }
    int Run(const std::string& args) const { return RunShell(m_dir, Cli(args)); }

    CTempFolder m_dir;
    CTestSoundServer m_server;
};

TEST_F(PulseWaveOutTest, CliListsTheDefaultOutputFirstAndPlaysSampleExactAtFullVolume)
{
    EXPECT_EQ(Run("devices"), 0);
    EXPECT_EQ(ReadAll(m_dir / "out"), "  0  Default output\n  1  Capture\n");
    const std::size_t before = m_server.Samples();
    ASSERT_EQ(Run("play --type tinnitus --tinnitus-freq 1000 --surf-strength 0 --volume 461 --duration 00:00:03"), 0)
        << ReadAll(m_dir / "err");
    std::this_thread::sleep_for(300ms);

    CNoiseSynth synth;
    synth.SynthesizeTone(1000);
    const std::vector<int16_t> expected = ShapedStream(synth.m_source.get(), TinnitusFinder, 5 * 44100);
    const std::vector<int16_t> got = m_server.Copy();
    const std::size_t start = FindStream(got, expected, before);
    ASSERT_NE(start, std::string::npos) << "the tone never reached the server";
    const auto from = got.begin() + static_cast<std::ptrdiff_t>(start);
    const std::size_t played =
        std::mismatch(expected.begin(), expected.end(), from, got.end()).first - expected.begin();
    EXPECT_GE(played, 2u * 44100) << "the stream differs from the tone after " << played << " samples";
    // Stop leaves silence, not the rest of what the server held.
    EXPECT_TRUE(std::all_of(from + static_cast<std::ptrdiff_t>(played), got.end(), [](int16_t s) { return s == 0; }));
}

// How the server is lost while the command line plays, and how soon after
// that the command must have given up.
struct ServerLoss
{
    const char* name;
    bool dies; // killed; otherwise stopped where it is, taking no samples
    std::chrono::milliseconds earliest;
    std::chrono::milliseconds latest;
};

struct PulseServerLossTest : PulseWaveOutTest, testing::WithParamInterface<ServerLoss>
{};

TEST_P(PulseServerLossTest, CliPlayEndsWithStatusOneAndSaysTheDeviceFailed)
{
    const std::size_t before = m_server.Samples();
    std::string command = "exec " + Cli("play --type white --volume 461 --duration 00:00:30") + " 2>'" + m_dir / "err'";
    char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), command.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ), 0);
    ASSERT_TRUE(m_server.WaitForSamples(before + 44100));
    GetParam().dies ? m_server.Kill() : m_server.Freeze();
    const auto lost = std::chrono::steady_clock::now();
    int status = 0;
    ASSERT_TRUE(WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 15000ms));
    const auto took = std::chrono::steady_clock::now() - lost;
    m_server.Thaw();
    EXPECT_GE(took, GetParam().earliest);
    EXPECT_LT(took, GetParam().latest);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(ReadAll(m_dir / "err"), "susurra-cli: generating noise signal\nsusurra-cli: playing\n"
                                      "susurra-cli: nothing to do\n"
                                      "susurra-cli: the sound device failed; playback stopped\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, PulseServerLossTest,
                         testing::Values(ServerLoss{"server killed", true, 0ms, 5000ms},
                                         // More than five seconds without taking samples is a lost server.
                                         ServerLoss{"server stopped", false, 5000ms, 8000ms}),
                         RowName());

TEST_F(PulseWaveOutTest, TheEngineStopsWhenTheServerStallsOrDiesAndItsNextPlayConnectsAgain)
{
    PulseEngine rig(White);
    ASSERT_TRUE(rig.engine.DeviceOpen());
    rig.engine.OnPlay();
    ASSERT_TRUE(m_server.WaitForSamples(m_server.Samples() + 22050));
    // Stopped, the server is the window's lost device as a dead one is.
    m_server.Freeze();
    ASSERT_TRUE(WaitUntil([&] { return rig.engine.OnCheckDevice(); }, 8000ms));
    EXPECT_EQ(rig.engine.Status(), "nothing to do");
    EXPECT_FALSE(rig.engine.IsPlaying());
    m_server.Kill();

    ASSERT_TRUE(m_server.Start());
    const std::size_t restarted = m_server.Samples();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.engine.Status(), "playing");
    ASSERT_TRUE(m_server.WaitForSamples(restarted + 2 * 44100));
    rig.engine.OnStop();
    const std::vector<int16_t> expected = rig.Expected(44100);
    EXPECT_NE(FindStream(m_server.Copy(), expected, restarted), std::string::npos);
}

TEST_F(PulseWaveOutTest, ARetunedToneReplacesTheOldWithinHalfASecondOfSound)
{
    PulseEngine rig(TinnitusFinder);
    rig.engine.OnPlay();
    ASSERT_TRUE(m_server.WaitForSamples(m_server.Samples() + 44100));
    const std::size_t retuned = m_server.Samples();
    rig.engine.RetuneTone(882);
    ASSERT_TRUE(m_server.WaitForSamples(retuned + 44100));
    rig.engine.OnStop();
    const std::vector<int16_t> expected = rig.Expected(22050);
    const std::size_t start = FindStream(m_server.Copy(), expected, retuned);
    ASSERT_NE(start, std::string::npos) << "the new tone was never heard";
    EXPECT_LT(start - retuned, 22050u) << "the server played on what it held";
}

TEST_F(PulseWaveOutTest, OpeningTheEntryOfAnOutputThatWentPlaysOnTheDefault)
{
    CPulseWaveOut waveOut;
    const uint32_t version = waveOut.DeviceListVersion();
    const std::string module =
        Output("pactl load-module module-null-sink sink_name=extra sink_properties=device.description=Extra");
    ASSERT_FALSE(module.empty());
    ASSERT_TRUE(WaitUntil([&] { return waveOut.DeviceListVersion() != version; }));
    ASSERT_EQ(waveOut.Devices().size(), 3u) << "the list as the user saw it, with the new output as entry 2";
    const uint32_t added = waveOut.DeviceListVersion();
    ASSERT_EQ(m_server.Pactl("unload-module " + module), 0);
    ASSERT_TRUE(WaitUntil([&] { return waveOut.DeviceListVersion() != added; }));
    // Entry 2 still names the output that went: opening it plays on the default.
    WaveHandle handle = 0;
    auto ignore = [](WaveHandle, WaveMessage, void*, WaveHeader*) {};
    ASSERT_EQ(waveOut.Open(&handle, 2, WaveFormat{}, ignore, nullptr), WaveResult::Ok);
    std::vector<int16_t> samples(22050, 777);
    WaveHeader header{samples.data(), 44100};
    const std::size_t before = m_server.Samples();
    ASSERT_EQ(waveOut.PrepareHeader(handle, &header), WaveResult::Ok);
    ASSERT_EQ(waveOut.Write(handle, &header), WaveResult::Ok);
    ASSERT_TRUE(m_server.WaitForSamples(before + 44100));
    EXPECT_NE(FindStream(m_server.Copy(), samples, before), std::string::npos);
    EXPECT_EQ(waveOut.Close(handle), WaveResult::Ok);
    EXPECT_EQ(header.flags & (kWaveHeaderDone | kWaveHeaderInQueue), kWaveHeaderDone);
}

TEST_F(PulseWaveOutTest, EngineFollowsOutputsThatComeAndGoAndPlaysOnWhenTheChosenOneGoes)
{
    PulseEngine rig(White);
    const std::string module =
        Output("pactl load-module module-null-sink sink_name=extra sink_properties=device.description=Extra");
    ASSERT_FALSE(module.empty());
    ASSERT_TRUE(WaitUntil([&] { return rig.engine.RefreshDevices(); }));
    EXPECT_EQ(rig.engine.DeviceNames(), (std::vector<std::string>{"Default output", "Capture", "Extra"}));
    EXPECT_EQ(rig.engine.SelectedEntry(), 0) << "the chosen output stays chosen";
    EXPECT_FALSE(rig.engine.RefreshDevices()) << "nothing changed since";

    rig.engine.OnSelchangeSoundDevice(2);
    rig.engine.OnPlay();
    ASSERT_EQ(rig.engine.Status(), "playing");
    ASSERT_EQ(m_server.Pactl("unload-module " + module), 0);
    ASSERT_TRUE(WaitUntil([&] { return rig.engine.RefreshDevices(); }));
    EXPECT_EQ(rig.engine.DeviceNames(), (std::vector<std::string>{"Default output", "Capture"}));
    EXPECT_EQ(rig.engine.SelectedEntry(), 0) << "the default output took over";
    EXPECT_TRUE(rig.engine.IsPlaying());
    const std::size_t moved = m_server.Samples();
    ASSERT_TRUE(m_server.WaitForSamples(moved + 2 * 44100)) << "nothing reached the default output";
    rig.engine.OnStop();
    const std::vector<int16_t> expected = rig.Expected(44100);
    EXPECT_NE(FindStream(m_server.Copy(), expected, moved), std::string::npos);
    EXPECT_TRUE(rig.messages.m_messages.empty());
}

// A sink of two channels, front left and right, as headphones are.
struct PulseStereoTest : testing::Test
{
    std::string Cli(const std::string& args) const
    {
        return "env -u SUSURRA_BACKEND HOME='" + m_dir.Path() + "' " SUSURRA_CLI " " + args;
    }

    CTempFolder m_dir;
    CTestSoundServer m_server{2};
};

// Each ear's own noise reaches its channel of the sink, each at its level.
TEST_F(PulseStereoTest, CliPlaysTheEarsNoisesInterleavedAtTheirLevels)
{
    const std::size_t before = m_server.Samples() & ~std::size_t{1}; // a whole frame
    ASSERT_EQ(RunShell(m_dir, Cli("play --stereo --ear-levels 0,-12 --type white --lower 100 --upper 20000 "
                                  "--surf-strength 0 --volume 461 --duration 00:00:03")),
              0)
        << ReadAll(m_dir / "err");
    std::this_thread::sleep_for(300ms);
    // The left ear plays the first period of a synthesizer, the right one
    // that of the right ear's, brought to the left one's RMS.
    CNoiseSynth left, right;
    right.m_phase = CPhaseGenerator(kRightEarPhaseState);
    left.Synthesize(White, 100.0, 20000.0);
    right.Synthesize(White, 100.0, 20000.0);
    const std::size_t frames = 2 * 44100;
    const std::vector<int16_t> leftExpected(left.m_source.get(), left.m_source.get() + frames);
    const auto periodRms = [](const CNoiseSynth& synth) {
        double sum = 0.0;
        for (int i = 0; i < CNoiseSynth::kPeriodSamples; ++i)
            sum += double(synth.m_source[i]) * synth.m_source[i];
        return std::sqrt(sum / CNoiseSynth::kPeriodSamples);
    };
    const double toLeft = periodRms(left) / periodRms(right);
    std::vector<int16_t> rightExpected(frames);
    for (std::size_t i = 0; i < frames; ++i)
        rightExpected[i] = FadeCurve::Scale(static_cast<int16_t>(std::lround(toLeft * right.m_source[i])),
                                            std::pow(10.0, -12 / 20.0));

    std::vector<int16_t> got = m_server.Copy();
    got.erase(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(before));
    const std::vector<int16_t> gotLeft = ChannelOf(got, 0), gotRight = ChannelOf(got, 1);
    const std::size_t start = FindStream(gotLeft, leftExpected);
    ASSERT_NE(start, std::string::npos) << "the left ear's noise never reached the left channel";
    ASSERT_GE(gotLeft.size(), start + frames);
    const auto at = static_cast<std::ptrdiff_t>(start);
    EXPECT_TRUE(std::equal(leftExpected.begin(), leftExpected.end(), gotLeft.begin() + at));
    EXPECT_TRUE(std::equal(rightExpected.begin(), rightExpected.end(), gotRight.begin() + at));
    const std::vector<int16_t> heardLeft(gotLeft.begin() + at, gotLeft.begin() + at + frames);
    const std::vector<int16_t> heardRight(gotRight.begin() + at, gotRight.begin() + at + frames);
    EXPECT_NEAR(RmsDb(heardRight) - RmsDb(heardLeft), -12.0, 0.15);
    EXPECT_LE(std::fabs(Correlation(heardLeft, heardRight)), 0.05);
}

// The hearing check's tone for one ear plays in that channel only.
TEST_F(PulseStereoTest, HearingPlaysItsToneInTheChosenEarOnly)
{
    for (const char* ear : {"left", "right"})
    {
        std::this_thread::sleep_for(1s); // what the sink still held of the run before
        const std::size_t before = m_server.Samples() & ~std::size_t{1}; // a whole frame
        // Stopped after the first tone has played a while: nothing is saved.
        EXPECT_EQ(RunShell(m_dir, "(sleep 1; echo q) | " + Cli(std::string("hearing --ear ") + ear)), 1);
        std::vector<int16_t> got = m_server.Copy();
        ASSERT_GT(got.size(), before + 2 * 22050) << ear;
        got.erase(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(before));
        const bool left = ear[0] == 'l';
        EXPECT_GT(Peak(ChannelOf(got, left ? 0 : 1)), 100) << ear;
        EXPECT_EQ(Peak(ChannelOf(got, left ? 1 : 0)), 0) << ear;
    }
}

} // namespace
