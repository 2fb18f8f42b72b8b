// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli devices, play and match, run as a user runs them, on an ALSA
// "file" device whose pipe this test reads at the pace of a sound card.

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <cstdio>
#include <iterator>
#include <span>
#include <sstream>

#include "playback/fade_curve.h"
#include "synth/endless_noise.h"
#include "tests/cli/cli_fixture.h"
#include "testing/engine_doubles.h"
#include "testing/paced_capture.h"
#include "testing/param_name.h"
#include "testing/sound_level.h"
#include "testing/stereo_frames.h"

namespace
{

struct CliPlayTest : CCliTest
{
    CliPlayTest() { WriteFileDeviceConfig(m_dir / "asound.conf", m_dir / "capture.raw"); }

    // The command with `variables` in place of the fixture's choice of ALSA.
    int RunWith(const std::string& variables, const std::string& args) const
    {
        std::string command = Command(args);
        command.replace(command.find("SUSURRA_BACKEND=alsa"), 20, InFolder(variables));
        return RunShell(m_dir, command);
    }

    CPacedCapture m_capture{m_dir / "capture.raw"};
};

TEST_F(CliPlayTest, WithoutUsableDevicesBothCommandsSaySoAndFail)
{
    std::ofstream(m_dir / "asound.conf") << "</usr/share/alsa/alsa.conf>\n"; // no sound card, nothing else
    for (const char* command : {"devices", "play --duration 00:00:01"})
    {
        EXPECT_EQ(Run(command), 1) << command;
        EXPECT_EQ(Out(), "");
        EXPECT_EQ(Err(), "susurra-cli: No audio mixer device found\n") << "the audio libraries keep quiet";
    }
}

TEST_F(CliPlayTest, PlaysForTheDurationOrUntilInterruptedAndStopsCleanly)
{
    EXPECT_EQ(Run("devices"), 0);
    EXPECT_EQ(Out(), "  0  default\n");
    EXPECT_EQ(Err(), "");
    EXPECT_EQ(Run("play --device 3"), 2);
    EXPECT_NE(Err().find("no usable sound device '3'"), std::string::npos);

    EXPECT_EQ(Run("play --type tinnitus --tinnitus-freq 1000 --surf-strength 0 --volume 461 --device default "
                  "--duration 00:00:01"),
              0);
    EXPECT_EQ(Err(), kPlayStatus);
    m_capture.WaitQuiet();
    // The whole tone at full scale: peaks of 2999 (sin never reaches 1 exactly here).
    const std::vector<int16_t> got = m_capture.Copy();
    EXPECT_GT(got.size(), 22050u);
    EXPECT_EQ(*std::max_element(got.begin(), got.end()), 2999);
    EXPECT_EQ(*std::min_element(got.begin(), got.end()), -2999);

    // Not a background job of the shell, so that SIGINT is not ignored.
    const std::size_t before = m_capture.Samples();
    FILE* shell = ::popen(("echo $$; exec " + Command("play --type white") + InFolder(" 2>'{dir}err'")).c_str(), "r");
    pid_t pid = 0;
    ASSERT_EQ(std::fscanf(shell, "%d", &pid), 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (m_capture.Samples() < before + 22050 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(pid, SIGINT);
    const int status = ::pclose(shell);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Err(), kPlayStatus);
}

// Level in dB of 50 ms of the stream from `at` on, against the unfaded stream.
double StretchDb(const std::vector<int16_t>& faded, const std::vector<int16_t>& plain, std::size_t at)
{
    double num = 0, den = 0;
    for (std::size_t i = at; i < at + 2205; ++i)
    {
        num += double(faded[i]) * faded[i];
        den += double(plain[i]) * plain[i];
    }
    return num == 0 ? -200.0 : 10.0 * std::log10(num / den);
}

TEST_F(CliPlayTest, FadesRiseAfterPlayAndFallEvenlyToSilenceAtTheEndOfTheDuration)
{
    const std::size_t before = m_capture.Samples();
    ASSERT_EQ(Run("play --type white --surf-strength 0 --volume 461 --duration 00:00:09 --fade-in 2 --fade-out 5"), 0);
    EXPECT_EQ(Err(), kPlayStatus);
    m_capture.WaitQuiet();
    const std::vector<int16_t> all = m_capture.Copy();
    constexpr std::size_t kEnd = 9 * 44100;
    // The unfaded stream: the window's white noise without surf.
    CNoiseSynth synth;
    synth.Synthesize(White, 100.0, 20000.0, NotchBand{});
    const std::vector<int16_t> plain = ShapedStream(synth.m_source.get(), White, kEnd);
    // The rise starts in silence, so the run is placed by its unfaded stretch.
    std::size_t lead = 0;
    while (lead < 44100
           && !std::equal(plain.begin() + 88200, plain.begin() + 88200 + 256,
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
    // The fall: even steps of under 1 dB per 50 ms down to 60 dB, then silence at 9 s.
    double largest = 0, smallest = 100;
    for (std::size_t at = 4 * 44100 + 2205; at < kEnd; at += 2205)
    {
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

TEST_F(CliPlayTest, EndlessPlaysTwoPeriodsWithoutAGapOrARepeat)
{
    // Two periods of 262144 samples and a little: every refill takes a new one.
    ASSERT_EQ(Run("play --endless --type pink --surf-strength 0 --volume 461 --device default --duration 00:00:13"), 0)
        << Err();
    m_capture.WaitQuiet();
    const std::vector<int16_t> got = m_capture.Copy();
    const auto first = std::find_if(got.begin(), got.end(), [](int16_t v) { return v != 0; });
    const auto last = std::find_if(got.rbegin(), got.rend(), [](int16_t v) { return v != 0; }).base();
    ASSERT_GE(last - first, 2 * 262144);
    int longest = 0, run = 0;
    for (auto it = first; it != last; ++it)
        longest = std::max(longest, run = *it == 0 ? run + 1 : 0);
    EXPECT_LE(longest, 8);
    // Without surf a repeated period would come back sample for sample.
    EXPECT_FALSE(std::equal(first, first + 262144, first + 262144)) << "the second period repeats the first";
}

// A command with a backend it cannot have: the variables it runs with, its
// arguments, and what it must say before it does anything.
struct BackendRefusal
{
    const char* name;
    const char* variables;
    const char* args;
    const char* err;
};

struct CliBackendRefusalTest : CliPlayTest, testing::WithParamInterface<BackendRefusal>
{};

TEST_P(CliBackendRefusalTest, IsRefusedAsABadOption)
{
    EXPECT_EQ(RunWith(GetParam().variables, GetParam().args), 2);
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Err(), GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliBackendRefusalTest,
    testing::Values(BackendRefusal{"play, junk in the variable", "SUSURRA_BACKEND=junk", "play --duration 00:00:01",
                                   "susurra-cli: SUSURRA_BACKEND: 'junk' is none of pulse, alsa.\n"
                                   "Run 'susurra-cli play --help' for the options.\n"},
                    BackendRefusal{"play, junk in the option", "SUSURRA_BACKEND=alsa", "play --backend junk",
                                   "susurra-cli: --backend: 'junk' is none of pulse, alsa.\n"
                                   "Run 'susurra-cli play --help' for the options.\n"},
                    BackendRefusal{"devices, junk in the variable", "SUSURRA_BACKEND=Pulse", "devices",
                                   "susurra-cli: SUSURRA_BACKEND: 'Pulse' is none of pulse, alsa.\n"
                                   "Run 'susurra-cli devices --help' for the options.\n"},
                    BackendRefusal{"match, junk in the variable", "SUSURRA_BACKEND=oss", "match",
                                   "susurra-cli: SUSURRA_BACKEND: 'oss' is none of pulse, alsa.\n"
                                   "Run 'susurra-cli match --help' for the options.\n"}),
    RowName());

// A sound server that takes the connection and never says a word: a socket
// that listens and never accepts.
struct SilentServer
{
    const char* name;
    const char* variables;
    const char* args;
};

struct CliSilentServerTest : CliPlayTest, testing::WithParamInterface<SilentServer>
{
    CliSilentServerTest()
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = m_dir / "silent";
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(m_socket, 16), 0);
    }
    ~CliSilentServerTest() override { ::close(m_socket); }

    int m_socket = -1;
};

TEST_P(CliSilentServerTest, IsGivenUpWithinFiveSeconds)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunWith(std::string("PULSE_SERVER=unix:{dir}silent ") + GetParam().variables, GetParam().args), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Err(), InFolder("susurra-cli: the sound server at unix:{dir}silent does not answer\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliSilentServerTest,
    testing::Values(SilentServer{"forced by the option", "SUSURRA_BACKEND=alsa", "devices --backend pulse"},
                    SilentServer{"forced by the variable", "SUSURRA_BACKEND=pulse", "play --duration 00:00:01"},
                    // Not ALSA: its own plug-in would wait on the same server for minutes.
                    SilentServer{"left to the automatic choice", "SUSURRA_BACKEND=", "devices"}),
    RowName());

// A match run driven as a user's script drives it: the tones' frequencies
// read from its standard error, the answers written to its standard input.
struct CMatchSession
{
    CMatchSession(const CTempFolder& dir, const std::string& command)
    {
        ::mkfifo((dir / "in").c_str(), 0600);
        m_err = ::popen(("exec " + command + " <'" + dir / "in' 2>&1 >'" + dir / "out'").c_str(), "r");
        m_in = std::fopen((dir / "in").c_str(), "w");
    }
    ~CMatchSession()
    {
        CloseInput();
        Wait();
    }
    // The next line of standard error; empty at its end.
    std::string ReadErrLine()
    {
        char buffer[512];
        return std::fgets(buffer, sizeof buffer, m_err) ? buffer : "";
    }
    void Say(const std::string& answer)
    {
        std::fprintf(m_in, "%s\n", answer.c_str());
        std::fflush(m_in);
    }
    void CloseInput()
    {
        if (m_in)
            std::fclose(std::exchange(m_in, nullptr));
    }
    int Wait()
    {
        const int status = m_err ? ::pclose(std::exchange(m_err, nullptr)) : -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    FILE* m_in = nullptr;
    FILE* m_err = nullptr;
};

TEST_F(CliPlayTest, MatchScriptAnsweringFromTheSoundsLineGetsTheFrequency)
{
    CMatchSession session(m_dir, Command("match --verbose --volume 20"));
    const double target = 5200.0;
    int answers = 0;
    bool hinted = false;
    std::string errors;
    for (std::string line = session.ReadErrLine(); !line.empty(); line = session.ReadErrLine())
    {
        if (!line.starts_with("sounds: "))
        {
            errors += line;
            continue;
        }
        std::istringstream in(line.substr(7));
        const std::vector<double> sounds{std::istream_iterator<double>(in), {}};
        if (sounds.size() == 1)
        {
            EXPECT_EQ(line, "sounds: 1000\n");
            session.Say("1");
            continue;
        }
        if (!hinted)
        {
            session.Say("r");
            EXPECT_EQ(session.ReadErrLine(), line) << "again: the same tones";
            // A stray answer gets a hint and the same question, without the tones again.
            session.Say("7");
            hinted = true;
        }
        const auto distance = [&](double hz) { return std::fabs(std::log2(hz / target)); };
        session.Say(distance(sounds[0]) <= distance(sounds[1]) ? "1" : "2");
        ++answers;
    }
    EXPECT_EQ(session.Wait(), 0);
    EXPECT_EQ(errors, "");
    EXPECT_LE(answers, 15);
    const std::string out = Out();
    EXPECT_NE(out.find("Please answer 1, 2, r or q.\n"), std::string::npos) << out;
    const size_t at = out.rfind("tinnitus frequency: ");
    ASSERT_NE(at, std::string::npos) << out;
    const int result = std::stoi(out.substr(at + 20));
    EXPECT_LE(std::fabs(12.0 * std::log2(result / target)), 1.0) << result;
    EXPECT_TRUE(out.ends_with(" Hz\n")) << out;
}

TEST_F(CliPlayTest, MatchStoppedByQuitOrByTheEndOfTheAnswersGivesNoResult)
{
    for (const bool quit : {true, false})
    {
        CMatchSession session(m_dir, Command("match --verbose"));
        EXPECT_EQ(session.ReadErrLine(), "sounds: 1000\n");
        session.Say("1");
        EXPECT_TRUE(session.ReadErrLine().starts_with("sounds: "));
        quit ? session.Say("q") : session.CloseInput();
        EXPECT_EQ(session.ReadErrLine(), quit ? "susurra-cli: stopped; no result\n"
                                              : "susurra-cli: the answers ended before the match did; no result\n");
        EXPECT_EQ(session.Wait(), 1);
        EXPECT_EQ(Out().find("tinnitus frequency"), std::string::npos) << Out();
    }
}

struct CliHearingTest : CliPlayTest
{
    CliHearingTest() { UseOwnCopy(); }
};

TEST_F(CliHearingTest, ScriptAnsweringFromTheToneLineFindsTheThresholdsAndSavesThem)
{
    const std::map<int, int> hidden = {{250, -52},  {500, -57},  {1000, -61}, {2000, -58},
                                       {3000, -49}, {4000, -43}, {6000, -38}, {8000, -33}};
    CMatchSession session(m_dir, Command("hearing --verbose --ear left"));
    bool tried = false;
    std::string errors;
    for (std::string line = session.ReadErrLine(); !line.empty(); line = session.ReadErrLine())
    {
        int hz = 0;
        int level = 0;
        char ear[16] = {};
        if (std::sscanf(line.c_str(), "tone: %d %d %15s", &hz, &level, ear) != 3)
        {
            errors += line;
            continue;
        }
        EXPECT_STREQ(ear, "left");
        EXPECT_LE(level, -10);
        if (!tried)
        {
            EXPECT_EQ(line, "tone: 1000 -40 left\n") << "the first tone is quiet";
            session.Say("r");
            EXPECT_EQ(session.ReadErrLine(), line) << "again: the same tone";
            // Junk and an over-long line get a hint and the same question.
            session.Say("perhaps");
            EXPECT_EQ(session.ReadErrLine(), line);
            session.Say(std::string(300, 'y'));
            EXPECT_EQ(session.ReadErrLine(), line);
            tried = true;
        }
        session.Say(level >= hidden.at(hz) ? "y" : "n");
    }
    EXPECT_EQ(session.Wait(), 0);
    EXPECT_EQ(errors, "");
    // The left ear's tones on a device opened with two channels: the right one silent.
    const std::vector<int16_t> frames = m_capture.Copy();
    ASSERT_GT(frames.size(), 44100u);
    EXPECT_GT(Peak(ChannelOf(frames, 0)), 0);
    EXPECT_EQ(Peak(ChannelOf(frames, 1)), 0);
    const std::string out = Out();
    size_t hints = 0;
    for (size_t at = 0; (at = out.find("Please answer y, n, r or q.\n", at)) != std::string::npos; ++at)
        ++hints;
    EXPECT_EQ(hints, 2u) << out;
    const std::string profile = File("hearing.ini");
    EXPECT_NE(profile.find("\ndevice=default\n"), std::string::npos) << profile;
    for (const auto& [hz, threshold] : hidden)
    {
        const std::string key = "threshold left " + std::to_string(hz) + ": ";
        const size_t at = out.find(key);
        ASSERT_NE(at, std::string::npos) << key << "\n" << out;
        const int found = std::stoi(out.substr(at + key.size()));
        EXPECT_LE(std::abs(found - threshold), 5) << hz << " Hz";
        EXPECT_EQ(out.substr(at + key.size() + std::to_string(found).size(), 4), " dB\n");
        EXPECT_NE(profile.find("\nleft " + std::to_string(hz) + "=" + std::to_string(found) + "\n"), std::string::npos)
            << profile;
    }
}

TEST_F(CliHearingTest, StoppedByQuitOrByTheEndOfTheAnswersSavesNothing)
{
    for (const bool quit : {true, false})
    {
        CMatchSession session(m_dir, Command("hearing --verbose"));
        EXPECT_EQ(session.ReadErrLine(), "tone: 1000 -40 both\n");
        session.Say("n");
        EXPECT_EQ(session.ReadErrLine(), "tone: 1000 -35 both\n") << "5 dB up after not heard";
        quit ? session.Say("q") : session.CloseInput();
        EXPECT_EQ(session.ReadErrLine(), quit ? "susurra-cli: stopped; no result\n"
                                              : "susurra-cli: the answers ended before the check did; no result\n");
        EXPECT_EQ(session.Wait(), 1);
        EXPECT_EQ(Out().find("threshold"), std::string::npos) << Out();
        EXPECT_FALSE(std::filesystem::exists(m_dir / "hearing.ini"));
    }
}

TEST_F(CliHearingTest, ShapedEndlessPlaysTheShapedPeriodsAtTheSameLevel)
{
    std::ofstream(m_dir / "hearing.ini") << "date=2026-12-08\ndevice=x\nboth 250=-60\nboth 1000=-60\n"
                                            "both 4000=-40\nboth 8000=-30\n";
    ASSERT_EQ(Run("play --endless --seed 7 --hearing-shaped --type pink --surf-strength 0 --volume 461 "
                  "--device default --duration 00:00:07"),
              0)
        << Err();
    m_capture.WaitQuiet();
    const std::vector<int16_t> got = m_capture.Copy();
    const auto first = std::find_if(got.begin(), got.end(), [](int16_t v) { return v != 0; });
    ASSERT_GE(got.end() - first, 262144);
    // The first period of the same run without the shape.
    auto plain = std::make_unique<CEndlessNoise>();
    plain->Start(Pink, 100.0, 20000.0, 7);
    std::vector<int16_t> unshaped(262144);
    plain->Next(unshaped.data());
    const auto unshapedStart = std::find_if(unshaped.begin(), unshaped.end(), [](int16_t v) { return v != 0; });
    EXPECT_FALSE(std::equal(unshapedStart, unshapedStart + 1000, first)) << "the noise was not shaped";
    EXPECT_NEAR(RmsDb(std::span(first, 200000)), RmsDb(std::span(unshaped.begin(), 200000)), 1.0);
}

} // namespace
