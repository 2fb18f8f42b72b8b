// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli hearing: the hearing check in a terminal. Each question plays
// one pulsed tone and reads one answer line from standard input, so a script
// can drive it as well as a person.

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "base/printable_text.h"
#include "cli/answer_line.h"
#include "cli/cli_commands.h"
#include "cli/cli_hearing_profile.h"
#include "cli/cli_noise_options.h"
#include "cli/cue_device.h"
#include "synth/hearing_check.h"

namespace
{

const char kHelp[] = "Usage: susurra-cli hearing [options]\n"
                     "\n"
                     "Finds the quietest level you hear at 250, 500, 1000, 2000, 3000, 4000, 6000\n"
                     "and 8000 Hz (and 12000 Hz with --with-12000), one pulsed tone a question.\n"
                     "Answer each with one line: y heard, n not heard, r play again, q stop.\n"
                     "After 'heard' the next tone is 10 dB softer, after 'not heard' 5 dB louder.\n"
                     "At the end it prints 'threshold EAR FREQ_HZ: LEVEL_DB dB' for each frequency\n"
                     "('not heard' when even -10 dB was not heard) and saves the profile that\n"
                     "'render --hearing-shaped' and 'play --hearing-shaped' use.\n"
                     "\n"
                     "Levels are in dB of the sound device's full scale. This is not a clinical\n"
                     "audiogram and has no absolute calibration: the same figure sounds different\n"
                     "on other devices and at other system volumes. The check starts quiet, never\n"
                     "plays above -10 dB and never raises the level by more than 5 dB an answer;\n"
                     "still, set the system volume low before you start.\n"
                     "\n"
                     "Options:\n"
                     "  --ear left|right|both  the ear the results are kept for; default both (two\n"
                     "                         ears together, or loudspeakers). With left or right\n"
                     "                         the tones play in that channel only, silence in the\n"
                     "                         other: wear the headphones the right way round\n"
                     "  --with-12000           check 12000 Hz as well\n"
                     "  --device INDEX|NAME    a device from 'susurra-cli devices'; default the first\n"
                     "  --backend pulse|alsa   play through the desktop's sound server or straight\n"
                     "                         to ALSA; default: the sound server when one answers\n"
                     "                         (or SUSURRA_BACKEND)\n"
                     "  --verbose              before each question, print the tone it asks about\n"
                     "                         on standard error: 'tone: FREQ_HZ LEVEL_DB EAR'\n"
                     "  --show                 print the saved profile and stop\n"
                     "  --clear                remove the saved profile and stop\n"
                     "  --help                 this text\n"
                     "\n"
                     "Susurra is not a medical device. Keep the volume low, and ask a hearing\n"
                     "professional about your hearing and tinnitus.\n"
                     "\n"
                     "Exit status: 0 the check ended and its profile was saved (or --show,\n"
                     "--clear done), 1 stopped, end of input, no usable sound device, a profile\n"
                     "that could not be read or written, or output that could not be written,\n"
                     "2 a bad option.\n";

struct HearingOptions
{
    HearingEar ear = HearingEar::Both;
    bool with12k = false;
    bool verbose = false;
    bool show = false;
    bool clear = false;
    std::string device;
    WaveBackend backend = WaveBackend::Automatic;
};

void Usage(std::string_view problem)
{
    std::fprintf(stderr, "susurra-cli: %.*s\nRun 'susurra-cli hearing --help' for the options.\n",
                 static_cast<int>(problem.size()), problem.data());
}

// 0 when all options were read, otherwise the exit status; -1 for --help.
int ParseArguments(int argc, char** argv, HearingOptions& options)
{
    COptionReader reader(argc, argv);
    while (!reader.AtEnd())
    {
        const std::string_view argument = reader.Next();
        const std::string_view name = OptionName(argument);
        if (argument == "--help" || argument == "-h")
            return -1;
        if (argument == "--verbose" || argument == "--with-12000" || argument == "--show" || argument == "--clear")
        {
            (argument == "--verbose" ? options.verbose
             : argument == "--show"  ? options.show
             : argument == "--clear" ? options.clear
                                     : options.with12k) = true;
            continue;
        }
        if (name != "--ear" && name != "--device" && name != "--backend")
        {
            Usage("unknown option '" + ArgumentText(argument) + "'.");
            return 2;
        }
        const std::optional<std::string_view> text = reader.Value(argument);
        if (!text)
            return 2;
        if (name == "--ear")
        {
            const std::optional<HearingEar> ear = HearingEarFromName(*text);
            if (!ear)
            {
                Usage("--ear: '" + ArgumentText(*text) + "' is none of left, right, both.");
                return 2;
            }
            options.ear = *ear;
        }
        else if (name == "--backend")
        {
            const std::optional<WaveBackend> backend = WaveBackendFromName(*text);
            if (!backend)
            {
                Usage("--backend: '" + ArgumentText(*text) + "' is none of pulse, alsa.");
                return 2;
            }
            options.backend = *backend;
        }
        else
        {
            options.device = *text;
        }
    }
    if (options.show && options.clear)
    {
        Usage("--show and --clear do not go together.");
        return 2;
    }
    return 0;
}

ToneEar CueEar(HearingEar ear)
{
    return ear == HearingEar::Left ? ToneEar::Left : ear == HearingEar::Right ? ToneEar::Right : ToneEar::Both;
}

std::string ThresholdLine(const HearingThreshold& t)
{
    return "threshold " + std::string(HearingEarName(t.ear)) + " " + std::to_string(t.frequencyHz) + ": "
           + (t.heard ? std::to_string(t.levelDb) + " dB" : std::string("not heard"));
}

// Per ear (left, right, both), then by frequency.
void PrintThresholds(std::vector<HearingThreshold> thresholds)
{
    std::stable_sort(thresholds.begin(), thresholds.end(), [](const auto& a, const auto& b) {
        return a.ear != b.ear ? a.ear < b.ear : a.frequencyHz < b.frequencyHz;
    });
    for (const HearingThreshold& t : thresholds)
        std::printf("%s\n", ThresholdLine(t).c_str());
}

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

int ShowOrClear(const HearingOptions& options)
{
    const std::string folder = HearingProfileFolder();
    if (options.clear)
    {
        const CIoResult cleared = ClearHearingProfile(folder);
        if (!cleared)
        {
            std::fprintf(stderr, "susurra-cli: %s\n", ArgumentText(IoResultText(cleared)).c_str());
            return 1;
        }
        std::printf("The hearing profile was cleared.\n");
        return 0;
    }
    const std::optional<HearingProfileLoad> load = LoadProfileForCommand();
    if (!load)
        return 1;
    if (load->state == HearingProfileLoad::State::Missing)
    {
        std::printf("No hearing profile yet; 'susurra-cli hearing' makes one.\n");
        return 0;
    }
    std::printf("date: %s\ndevice: %s\n", load->profile.date.c_str(), ArgumentText(load->profile.device).c_str());
    PrintThresholds(load->profile.thresholds);
    return 0;
}

} // namespace

int RunHearing(int argc, char** argv)
{
    HearingOptions options;
    if (const int status = ParseArguments(argc, argv, options); status != 0)
    {
        if (status == -1)
        {
            std::fputs(kHelp, stdout);
            return 0;
        }
        return status;
    }
    if (options.show || options.clear)
        return ShowOrClear(options);

    // A damaged profile is not overwritten by a new check: it is the user's
    // to look at or clear first.
    const std::optional<HearingProfileLoad> previous = LoadProfileForCommand();
    if (!previous)
        return 1;

    CCueDevice device;
    // Full scale: the levels are the samples' own.
    if (const int status = device.Open(options.backend, options.device, CPlaybackEngine::kMaxVolumePosition, "hearing");
        status != 0)
        return status;

    std::printf("Hearing check (%s). Not a clinical audiogram; levels are relative to this device.\n",
                std::string(HearingEarName(options.ear)).c_str());
    CHearingCheck check({options.ear}, options.with12k);
    bool play = true;
    std::string line;
    while (!check.Done())
    {
        const CHearingCheck::Tone tone = check.CurrentTone();
        if (play && !device.Play(RenderHearingTone(tone), CueEar(tone.ear)))
        {
            std::fprintf(stderr, "susurra-cli: the sound device failed; no result\n");
            return 1;
        }
        if (options.verbose)
            std::fprintf(stderr, "tone: %d %d %s\n", tone.frequencyHz, tone.levelDb,
                         std::string(HearingEarName(tone.ear)).c_str());
        std::printf("%d Hz, %s ear (%d of %d): did you hear the tone? y, n (r again, q stop): ", tone.frequencyHz,
                    std::string(HearingEarName(tone.ear)).c_str(), check.FinishedCount() + 1, check.TotalCount());
        std::fflush(stdout);
        if (ReadAnswerLine(line) == AnswerLine::Ended)
        {
            std::fprintf(stdout, "\n");
            std::fprintf(stderr, "susurra-cli: the answers ended before the check did; no result\n");
            return 1;
        }
        play = true;
        if (line == "q")
        {
            std::fprintf(stderr, "susurra-cli: stopped; no result\n");
            return 1;
        }
        if (line == "y" || line == "n")
            check.Answer(line == "y");
        else if (line != "r")
        {
            std::printf("Please answer y, n, r or q.\n");
            play = false;
        }
    }
    device.Close();

    // The other ears of an earlier check on the same device stay.
    const HearingProfile profile =
        ProfileAfterCheck(previous->state == HearingProfileLoad::State::Loaded ? &previous->profile : nullptr, Today(),
                          device.DeviceName(), check.Thresholds());
    PrintThresholds(check.Thresholds());
    const CIoResult saved = SaveHearingProfile(HearingProfileFolder(), profile);
    if (!saved)
    {
        std::fprintf(stderr, "susurra-cli: %s; the profile was not saved\n", ArgumentText(IoResultText(saved)).c_str());
        return 1;
    }
    return 0;
}
