// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli render, and the refusals of every command, run as a user runs them.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/cli/cli_fixture.h"
#include "testing/file_compare.h"
#include "testing/paced_capture.h"
#include "testing/param_name.h"
#include "testing/sound_level.h"

namespace
{

using CliRenderTest = CCliTest;

TEST_F(CliRenderTest, FilesAndStandardOutputHoldTheSameBytesAsTheWindowWrites)
{
    ASSERT_EQ(Run("render --length 00:00:25 --fade-in 3 --fade-out 4 '{dir}out.wav'"), 0) << Err();
    const std::string expected = LibraryFile(Pink, 440.0, 25.0, 30.0, 20.0, 3.0, 4.0);
    EXPECT_EQ(expected.size(), 44u + 2u * 25u * 44100u);
    EXPECT_TRUE(SameBytes(File("out.wav"), expected));
    EXPECT_EQ(Err(), "") << "not a terminal: no progress bar";

    ASSERT_EQ(Run("render --type tinnitus --tinnitus-freq 6000 --surf-strength 55 --surf-period 1.5 "
                  "--fade-in=0.5 --fade-out 2 --length 00:00:04 -"),
              0)
        << Err();
    EXPECT_TRUE(SameBytes(Out(), LibraryFile(TinnitusFinder, 6000.0, 4.0, 55.0, 1.5, 0.5, 2.0)));

    ASSERT_EQ(Run("render --type brown --length 00:00:07 --fade-in 1 --fade-out 2 -"), 0) << Err();
    EXPECT_TRUE(SameBytes(Out(), LibraryFile(Brown, 440.0, 7.0, 30.0, 20.0, 1.0, 2.0)));
}

// Each ear against the mono file of the same values: the left at -6 dB
// within the rounding of both, the right silent; the tone in its ear alone.
TEST_F(CliRenderTest, StereoPutsEachEarAtItsLevelAndTheToneInItsEar)
{
    ASSERT_EQ(Run("render --stereo --ear-levels -6,silent --length 00:00:05 --fade-in 1 --fade-out 1 '{dir}ears.wav'"),
              0)
        << Err();
    const std::string ears = File("ears.wav");
    ASSERT_EQ(ears.size(), 44u + 4u * 5u * 44100u);
    EXPECT_EQ(ears.substr(22, 2), std::string("\x02\x00", 2)) << "two channels";
    const std::vector<double> mono = WaveSamples(LibraryFile(Pink, 440.0, 5.0, 30.0, 20.0, 1.0, 1.0));
    const std::vector<double> left = WaveChannel(ears, 0);
    ASSERT_EQ(left.size(), mono.size());
    double worst = 0.0;
    for (size_t i = 0; i < mono.size(); ++i)
        worst = std::max(worst, std::abs(left[i] - std::pow(10.0, -6.0 / 20.0) * mono[i]));
    EXPECT_LE(worst, 0.75);
    EXPECT_EQ(Peak(WaveChannel(ears, 1)), 0);

    ASSERT_EQ(Run("render --type tinnitus --stereo --tone-ear right --length 00:00:03 --fade-in 0 --fade-out 1 -"), 0)
        << Err();
    EXPECT_EQ(Peak(WaveChannel(Out(), 0)), 0);
    EXPECT_TRUE(WaveChannel(Out(), 1) == WaveSamples(LibraryFile(TinnitusFinder, 440.0, 3.0, 30.0, 20.0, 0.0, 1.0)));
}

TEST_F(CliRenderTest, SuffixChoosesTheFileTypeInAnyCase)
{
    for (const auto& [name, magic] : {std::pair{"a.FLAC", "fLaC"}, {"a.opus", "OggS"}, {"a.mp3", "\xFF\xFB"}})
    {
        ASSERT_EQ(Run("render --length 00:00:03 '{dir}" + std::string(name) + "'"), 0) << Err();
        EXPECT_EQ(File(name).substr(0, std::string(magic).size()), magic) << name;
    }
}

TEST_F(CliRenderTest, VersionIsTheProjectsAndExitsZero)
{
    ASSERT_EQ(Run("--version"), 0);
    EXPECT_EQ(Out(), "susurra-cli " SUSURRA_VERSION "\n");
}

struct SignalRow
{
    const char* name;
    const char* signal;
    int status; // the shell's 128 + signal number
};

class CliRenderSignal : public CCliTest, public ::testing::WithParamInterface<SignalRow>
{};

TEST_P(CliRenderSignal, StopsTheRenderAndLeavesTheOldFileWithoutATemporary)
{
    std::filesystem::create_directory(m_dir / "files");
    std::ofstream(m_dir / "files/x.wav") << "the old file";
    EXPECT_EQ(RunShell(m_dir, "sh -c '" + m_cli + " render --length 10:00:00 " + m_dir / "files/x.wav & pid=$!; "
                                  + "sleep 1; kill -" + GetParam().signal + " $pid; wait $pid'"),
              GetParam().status)
        << Err();
    EXPECT_EQ(File("files/x.wav"), "the old file");
    EXPECT_EQ(FolderEntries(m_dir / "files"), std::vector<std::string>{"x.wav"});
}

INSTANTIATE_TEST_SUITE_P(Signals, CliRenderSignal,
                         ::testing::Values(SignalRow{"termination", "TERM", 143}, SignalRow{"hang-up", "HUP", 129}),
                         RowName());

TEST_F(CliRenderTest, AWritableFileInAFolderTheUserMayNotWriteIsStillWritten)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "needs root to run the program as another user";
    std::filesystem::create_directory(m_dir / "locked");
    std::filesystem::copy_file(SUSURRA_CLI, m_dir / "susurra-cli");
    std::ofstream(m_dir / "locked/x.wav") << "the old file";
    ::chmod(m_dir.Path().c_str(), 0755);
    ::chmod((m_dir / "locked").c_str(), 0755);
    ::chmod((m_dir / "locked/x.wav").c_str(), 0666);
    ASSERT_EQ(RunShell(m_dir, InFolder("HOME=/nonexistent setpriv --reuid=65534 --regid=65534 --clear-groups "
                                       "'{dir}susurra-cli' render --length 00:00:01 '{dir}locked/x.wav'")),
              0)
        << Err();
    EXPECT_EQ(File("locked/x.wav").size(), 44u + 2u * 44100u);
}

struct RefusalRow
{
    const char* name;
    std::string args; // "{dir}" stands for the test's folder
    int status;
    std::string message; // after "susurra-cli: "; "{dir}" as in args
};

class CliRefusal : public CCliTest, public ::testing::WithParamInterface<RefusalRow>
{};

// Without a sound card: a command that went on to the device would fail there
// instead (cli_play_test checks that failure).
TEST_P(CliRefusal, SaysWhyAndLeavesNoFile)
{
    std::ofstream(m_dir / "asound.conf") << "</usr/share/alsa/alsa.conf>\n";
    EXPECT_EQ(Run(GetParam().args + " </dev/null"), GetParam().status);
    EXPECT_EQ(Err(), "susurra-cli: " + InFolder(GetParam().message) + "\n");
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"asound.conf", "err", "out"}));
}

const std::string kPlayHelp = "\nRun 'susurra-cli play --help' for the options.";
const std::string kMatchHelp = "\nRun 'susurra-cli match --help' for the options.";
const std::string kHearingHelp = "\nRun 'susurra-cli hearing --help' for the options.";
const char kLengthTime[] = "--length: Please enter a time between 00:00:00 and 23:59:59 as HH:MM:SS.";
const char kSeedRange[] = "--seed: Please enter a whole number between 0 and 18446744073709551615.";
const char kNotchWidth[] = "--notch-width: Please choose 0.5 or 1 (octaves).";

INSTANTIATE_TEST_SUITE_P(
    BadValuesAndFileErrors, CliRefusal,
    ::testing::Values(
        RefusalRow{"lower below range", "render --lower 19.9 '{dir}x.wav'", 2,
                   "--lower: Please enter a number between 20 and 20000."},
        RefusalRow{"upper not a number", "render --upper=abc '{dir}x.wav'", 2, "--upper: Please enter a number."},
        RefusalRow{"tinnitus frequency not whole", "render --tinnitus-freq 440.5 '{dir}x.wav'", 2,
                   "--tinnitus-freq: Please enter an integer."},
        RefusalRow{"surf period negative", "render --surf-period -1 '{dir}x.wav'", 2,
                   "--surf-period: Please enter a number between 0 and 10000."},
        RefusalRow{"fade out above range", "render --fade-out 1000.5 '{dir}x.wav'", 2,
                   "--fade-out: Please enter a number between 0 and 1000."},
        RefusalRow{"length beyond a wave file", "render --length 13:31:36 '{dir}x.wav'", 2,
                   "--length: a WAV file can hold at most 13:31:35 of sound."},
        RefusalRow{"length beyond a stereo wave file", "render --stereo --length 06:45:48 '{dir}x.wav'", 2,
                   "--length: a stereo WAV file can hold at most 06:45:47 of sound, half of a mono one's "
                   "13:31:35."},
        RefusalRow{"ear levels without stereo", "render --ear-levels 0,-6 '{dir}x.wav'", 2,
                   "--ear-levels: only stereo sound has a level for each ear; add --stereo."},
        RefusalRow{"tone ear without stereo",
                   "render --type tinnitus --stereo --no-stereo --tone-ear left "
                   "'{dir}x.wav'",
                   2, "--tone-ear: only stereo sound plays the tone in one ear; add --stereo."},
        RefusalRow{"ear level not a number", "render --stereo --ear-levels 0,loud '{dir}x.wav'", 2,
                   "--ear-levels: Please give two levels as LEFT,RIGHT: whole dB from -60 to 0, or silent."},
        RefusalRow{"ear level below the quietest", "render --stereo --ear-levels=-61,0 '{dir}x.wav'", 2,
                   "--ear-levels: Please give two levels as LEFT,RIGHT: whole dB from -60 to 0, or silent."},
        RefusalRow{"one ear level", "render --stereo --ear-levels -6 '{dir}x.wav'", 2,
                   "--ear-levels: Please give two levels as LEFT,RIGHT: whole dB from -60 to 0, or silent."},
        RefusalRow{"tone ear unknown", "render --stereo --tone-ear middle '{dir}x.wav'", 2,
                   "--tone-ear: Please choose left, right or both."},
        RefusalRow{"missing folder", "render --length 00:00:01 '{dir}no/x.wav'", 1,
                   "I can't open {dir}no/x.wav: No such file or directory"},
        RefusalRow{"full device", "render --length 00:00:30 /dev/full", 1,
                   "I can't write /dev/full: No space left on device"},
        RefusalRow{"seed without endless", "render --seed 5 '{dir}x.wav'", 2,
                   "--seed: only endless noise has a seed; add --endless."},
        RefusalRow{"seed not a number", "render --endless --seed abc '{dir}x.wav'", 2, kSeedRange},
        RefusalRow{"seed negative", "render --endless --seed -1 '{dir}x.wav'", 2, kSeedRange},
        RefusalRow{"seed fraction", "render --endless --seed=1.5 '{dir}x.wav'", 2, kSeedRange},
        RefusalRow{"seed beyond 64 bits", "render --endless --seed 18446744073709551616 '{dir}x.wav'", 2, kSeedRange},
        RefusalRow{"seed empty", "render --endless --seed= '{dir}x.wav'", 2, kSeedRange},
        RefusalRow{"notch on the tone", "render --type tinnitus --notch '{dir}x.wav'", 2,
                   "--notch: the tone has no notch; choose physiological, white, pink or brown noise."},
        RefusalRow{"unknown type", "render --type red '{dir}x.wav'", 2,
                   "--type: Please choose physiological, white, pink, brown or tinnitus."},
        RefusalRow{"notch width of two octaves", "render --notch --notch-width 2 '{dir}x.wav'", 2, kNotchWidth},
        RefusalRow{"notch width not a number", "render --notch-width=half '{dir}x.wav'", 2, kNotchWidth},
        RefusalRow{"unknown setting before the device", "play --noise-setting Nope", 2,
                   "there is no noise setting named \"Nope\"; the noise settings are:\n  Easy Bay Surf\n"
                   "  Easy Pacific Surf\n  Rainforest Waterfall\n  Standard Physiological Noise\n  Strong Bay Surf\n"
                   "  Strong Pacific Surf\n  Wideband White Noise"},
        RefusalRow{"fade out without duration", "play --fade-out 8", 2,
                   "--fade-out needs --duration: it fades over the last seconds before the end." + kPlayHelp},
        RefusalRow{"fade out beyond duration", "play --duration 00:00:05 --fade-out 8", 2,
                   "--fade-out: 8 s is longer than --duration (5 s)." + kPlayHelp},
        RefusalRow{"fade in above range", "play --fade-in 61", 2, "--fade-in: Please enter a number between 0 and 60."},
        RefusalRow{"hearing ear unknown", "hearing --ear middle", 2,
                   "--ear: 'middle' is none of left, right, both." + kHearingHelp},
        RefusalRow{"hearing show with clear", "hearing --show --clear", 2,
                   "--show and --clear do not go together." + kHearingHelp},
        RefusalRow{"hearing ear without a value", "hearing --ear", 2, "--ear: a value is missing."},
        RefusalRow{"match range upside down", "match --lower 5000 --upper 400", 2,
                   "--lower must lie below --upper." + kMatchHelp},
        RefusalRow{"length with a leading blank", "render --length ' 0:00:01' '{dir}x.wav'", 2, kLengthTime},
        RefusalRow{"length with a plus sign", "render --length +0:00:01 '{dir}x.wav'", 2, kLengthTime},
        RefusalRow{"length with a minus sign", "render --length=-0:00:01 '{dir}x.wav'", 2, kLengthTime},
        RefusalRow{"length of one digit fields", "render --length 0:0:1 '{dir}x.wav'", 2, kLengthTime},
        RefusalRow{"duration with a plus sign", "play --duration +0:00:05", 2,
                   "--duration: Please enter a time between 00:00:00 and 23:59:59 as HH:MM:SS."},
        // 130000 characters: below the kernel's limit for one argument.
        RefusalRow{"match option of 130 kB shortened", "match --" + std::string(130000, 'x'), 2,
                   "unknown option '--" + std::string(58, 'x') + "\u2026'." + kMatchHelp},
        RefusalRow{"match backend with escape codes", "match --backend '\x1b[2J'", 2,
                   "--backend: '\\x1B[2J' is none of pulse, alsa." + kMatchHelp},
        RefusalRow{"unknown suffix with escape codes", "render --length 00:00:01 '{dir}x.\x1b]0;t\x07'", 2,
                   "{dir}x.\\x1B]0;t\\x07: the name must end in .wav, .flac, .opus or .mp3 (the suffix chooses the "
                   "file type)."}),
    RowName());

// ALSA's plug-in modules keep allocations that LeakSanitizer cannot
// attribute: commands that open a device run without the leak check.
const std::string kNoLeakCheck = "ASAN_OPTIONS=detect_leaks=0 ";

struct LostOutputRow
{
    const char* name;
    std::string command; // "{cli}" stands for the program with its environment
};

class CliLostOutput : public CCliTest, public ::testing::WithParamInterface<LostOutputRow>
{};

// A script reading the answer must see the failure in the status.
TEST_P(CliLostOutput, AFullStandardOutputFailsTheCommandWithAMessage)
{
    WriteFileDeviceConfig(m_dir / "asound.conf", m_dir / "capture.raw");
    std::string command = GetParam().command;
    command.replace(command.find("{cli}"), 5, kNoLeakCheck + Command(""));
    EXPECT_EQ(RunShell(m_dir, "{ " + command + " >/dev/full; }"), 1);
    EXPECT_EQ(Err(), "susurra-cli: I can't write standard output: No space left on device\n");
}

INSTANTIATE_TEST_SUITE_P(Commands, CliLostOutput,
                         ::testing::Values(LostOutputRow{"version", "{cli} --version"},
                                           LostOutputRow{"settings", "{cli} settings"},
                                           LostOutputRow{"render help", "{cli} render --help"},
                                           LostOutputRow{"devices", "{cli} devices"},
                                           LostOutputRow{"match to its result", "yes 1 | head -n 40 | {cli} match"}),
                         RowName());

// The peak memory in kilobytes of a shell command and what it runs.
long PeakKilobytes(const std::string& command, int& status)
{
    const pid_t pid = ::fork();
    if (pid == 0)
    {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    rusage usage{};
    int wstatus = 0;
    ::wait4(pid, &wstatus, 0, &usage);
    status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return usage.ru_maxrss;
}

TEST_F(CliRenderTest, AMatchAnswerOfManyMegabytesIsRefusedWithoutBeingKept)
{
    WriteFileDeviceConfig(m_dir / "asound.conf", m_dir / "capture.raw");
    const std::string match = kNoLeakCheck + Command("match") + InFolder(" >'{dir}out' 2>'{dir}err'");
    int status = 0;
    const long quit = PeakKilobytes("printf 'q\\n' | " + match, status);
    ASSERT_EQ(status, 1) << Err();
    constexpr long kLineBytes = 64L << 20;
    const long longLine = PeakKilobytes(
        "{ head -c " + std::to_string(kLineBytes) + " /dev/zero | tr '\\0' x; printf '\\nq\\n'; } | " + match, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(Err(), "susurra-cli: stopped; no result\n");
    const std::string question = "Step 1: a quiet 1000 Hz tone (volume 9). Set the volume so that it is clearly heard "
                                 "but not louder than your tinnitus.\n+ louder, - softer, 1 go on, r again, q stop: ";
    EXPECT_EQ(Out(), question + "Please answer +, -, 1, r or q.\n" + question);
    EXPECT_LT(longLine - quit, kLineBytes / 1024 / 2) << "peak " << longLine << " kB, without the line " << quit;
}

struct CliHearingShapedRender : CCliTest
{
    CliHearingShapedRender() { UseOwnCopy(); }
    const std::string m_render = "render --type pink --length 00:00:06 --fade-in 0 --fade-out 0 --surf-strength 0 ";
};

TEST_F(CliHearingShapedRender, WithoutAProfileTheNoiseIsAsBeforeAndANoteSaysWhy)
{
    ASSERT_EQ(Run(m_render + "--hearing-shaped '{dir}out.wav'"), 0) << Err();
    EXPECT_EQ(Err(), "susurra-cli: no hearing profile yet ('susurra-cli hearing' makes one); the noise is not "
                     "shaped\n");
    EXPECT_TRUE(SameBytes(File("out.wav"), LibraryFile(Pink, 440.0, 6.0, 0.0, 20.0, 0.0, 0.0)));
}

TEST_F(CliHearingShapedRender, ADamagedProfileIsToldLeftAsItIsAndNothingWritten)
{
    std::ofstream(m_dir / "hearing.ini") << "date=2026-12-08\nleft 1000=loud\n";
    EXPECT_EQ(Run(m_render + "--hearing-shaped '{dir}out.wav'"), 1);
    EXPECT_EQ(Err(), InFolder("susurra-cli: the hearing profile {dir}hearing.ini is damaged (line 2: the level "
                              "'loud' is not a whole number from -90 to -10); it was left as it is.\n"
                              "Run 'susurra-cli hearing --clear' and the check again for a new one.\n"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out.wav"));
    EXPECT_EQ(File("hearing.ini"), "date=2026-12-08\nleft 1000=loud\n");
}

TEST_F(CliHearingShapedRender, AProfileShapesTheNoiseAtTheSameLevelAndOffLeavesItAlone)
{
    std::ofstream(m_dir / "hearing.ini") << "date=2026-12-08\ndevice=x\nboth 250=-60\nboth 1000=-60\n"
                                            "both 4000=-40\nboth 8000=-30\n";
    ASSERT_EQ(Run(m_render + "--hearing-shaped '{dir}shaped.wav'"), 0) << Err();
    EXPECT_EQ(Err(), "");
    ASSERT_EQ(Run(m_render + "--hearing-shaped --no-hearing-shaped '{dir}plain.wav'"), 0) << Err();
    const std::string plain = LibraryFile(Pink, 440.0, 6.0, 0.0, 20.0, 0.0, 0.0);
    EXPECT_TRUE(SameBytes(File("plain.wav"), plain));
    const std::string shaped = File("shaped.wav");
    ASSERT_EQ(shaped.size(), plain.size());
    EXPECT_NE(shaped, plain);
    EXPECT_NEAR(RmsDb(WaveSamples(shaped)), RmsDb(WaveSamples(plain)), 1.0);
}

// The share of a signal's power in its steps from sample to sample: more
// for a brighter sound.
double Brightness(const std::vector<double>& x)
{
    double steps = 0.0, power = 0.0;
    for (size_t i = 1; i < x.size(); ++i)
    {
        steps += (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
        power += x[i] * x[i];
    }
    return steps / power;
}

// The left ear hears the highs worse, the right the lows: in stereo each ear
// gets its own shape, the left brighter than unshaped, the right darker.
TEST_F(CliHearingShapedRender, InStereoEachEarIsShapedToItsOwnHearing)
{
    std::ofstream(m_dir / "hearing.ini") << "date=2026-12-08\ndevice=x\nleft 250=-60\nleft 8000=-30\n"
                                            "right 250=-30\nright 8000=-60\n";
    ASSERT_EQ(Run(m_render + "--stereo --hearing-shaped '{dir}shaped.wav'"), 0) << Err();
    ASSERT_EQ(Run(m_render + "--stereo '{dir}plain.wav'"), 0) << Err();
    const std::string shaped = File("shaped.wav");
    const std::string plain = File("plain.wav");
    EXPECT_GT(Brightness(WaveChannel(shaped, 0)), 1.5 * Brightness(WaveChannel(plain, 0)));
    EXPECT_LT(Brightness(WaveChannel(shaped, 1)), Brightness(WaveChannel(plain, 1)) / 1.5);
}

TEST_F(CliHearingShapedRender, HearingShowsTheSavedProfileByEarAndFrequencyAndClearsIt)
{
    std::ofstream(m_dir / "hearing.ini") << "date=2026-12-08\ndevice=default\nright 8000=not heard\nright 250=-55\n"
                                            "left 1000=-60\n";
    ASSERT_EQ(Run("hearing --show"), 0) << Err();
    EXPECT_EQ(Out(), "date: 2026-12-08\ndevice: default\nthreshold left 1000: -60 dB\nthreshold right 250: -55 dB\n"
                     "threshold right 8000: not heard\n");
    ASSERT_EQ(Run("hearing --clear"), 0) << Err();
    EXPECT_EQ(Out(), "The hearing profile was cleared.\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "hearing.ini"));
    ASSERT_EQ(Run("hearing --show"), 0) << Err();
    EXPECT_EQ(Out(), "No hearing profile yet; 'susurra-cli hearing' makes one.\n");
    EXPECT_EQ(Err(), "");
}

} // namespace
