// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli match: the guided pitch match in a terminal. Each question plays
// its tones on the sound device and reads one answer line from standard
// input, so a script can drive it as well as a person.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "base/printable_text.h"
#include "cli/answer_line.h"
#include "cli/cli_commands.h"
#include "cli/cue_device.h"
#include "cli/cli_noise_options.h"
#include "playback/backends/backend_choice.h"
#include "playback/playback_engine.h"
#include "synth/parameter_limits.h"
#include "synth/pitch_matcher.h"
#include "synth/tone_sequence.h"

namespace
{

const char kHelp[] = "Usage: susurra-cli match [options]\n"
                     "\n"
                     "Finds the pitch of a tinnitus by comparing tones, one question at a time.\n"
                     "Each question plays its tones and reads one answer line:\n"
                     "  step 1, level: a quiet 1000 Hz tone; + louder, - softer, 1 go on\n"
                     "  step 2: two tones; 1 or 2, the one closer to the tinnitus\n"
                     "  step 3: the match, an octave below and an octave above; 1, 2 or 3\n"
                     "  r plays the tones again, q stops without a result.\n"
                     "At the end it prints 'tinnitus frequency: F Hz'.\n"
                     "\n"
                     "Options:\n"
                     "  --device INDEX|NAME    a device from 'susurra-cli devices'; default the first\n"
                     "  --volume 0..461        the window's volume slider; default 9, where the\n"
                     "                         window starts; keep it low\n"
                     "  --lower HZ             lowest frequency searched, 20..20000; default 250\n"
                     "  --upper HZ             highest frequency searched, 20..20000; default 16000\n"
                     "  --verbose              before each question's tones, print their\n"
                     "                         frequencies on standard error: 'sounds: F1 F2'\n"
                     "  --backend pulse|alsa   play through the desktop's sound server or straight\n"
                     "                         to ALSA; default: the sound server when one answers\n"
                     "                         (or SUSURRA_BACKEND)\n"
                     "  --help                 this text\n"
                     "\n"
                     "Susurra is not a medical device. Keep the volume low, and ask a hearing\n"
                     "professional about tinnitus and its treatment.\n"
                     "\n"
                     "Exit status: 0 a match was found, 1 stopped, end of input, no usable\n"
                     "sound device or the output could not be written, 2 a bad option.\n";

struct MatchOptions
{
    std::string device;
    int volume = 9;
    double lower = CPitchMatcher::kDefaultLower;
    double upper = CPitchMatcher::kDefaultUpper;
    bool verbose = false;
    WaveBackend backend = WaveBackend::Automatic;
};

void Usage(std::string_view problem)
{
    std::fprintf(stderr, "susurra-cli: %.*s\nRun 'susurra-cli match --help' for the options.\n",
                 static_cast<int>(problem.size()), problem.data());
}

// 0 when all options were read, otherwise the exit status; -1 for --help.
int ParseArguments(int argc, char** argv, MatchOptions& options)
{
    COptionReader reader(argc, argv);
    while (!reader.AtEnd())
    {
        const std::string_view argument = reader.Next();
        const std::string_view name = OptionName(argument);
        if (argument == "--help" || argument == "-h")
            return -1;
        if (argument == "--verbose")
        {
            options.verbose = true;
            continue;
        }
        if (name != "--device" && name != "--volume" && name != "--backend" && name != "--lower" && name != "--upper")
        {
            Usage("unknown option '" + ArgumentText(argument) + "'.");
            return 2;
        }
        const std::optional<std::string_view> text = reader.Value(argument);
        if (!text)
            return 2;
        if (name == "--device")
        {
            options.device = *text;
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
        else if (name == "--volume")
        {
            const std::optional<int> value = ParseInteger(name, *text, 0.0, CPlaybackEngine::kMaxVolumePosition);
            if (!value)
                return 2;
            options.volume = *value;
        }
        else
        {
            const std::optional<double> value = ParseNumber(name, *text, Limits::kFrequency);
            if (!value)
                return 2;
            (name == "--lower" ? options.lower : options.upper) = *value;
        }
    }
    if (!(options.lower < options.upper))
    {
        Usage("--lower must lie below --upper.");
        return 2;
    }
    return 0;
}

std::string QuestionText(const CPitchMatcher& matcher, int volume)
{
    switch (matcher.CurrentStep())
    {
        case CPitchMatcher::Step::Level:
            return "Step 1: a quiet 1000 Hz tone (volume " + std::to_string(volume)
                   + "). Set the volume so that it is clearly heard but not louder than your tinnitus.\n"
                     "+ louder, - softer, 1 go on, r again, q stop: ";
        case CPitchMatcher::Step::Bracket:
            return "Step 2, question " + std::to_string(matcher.BracketAnswers() + 1)
                   + ": which tone is closer to your tinnitus? 1 or 2 (r again, q stop): ";
        case CPitchMatcher::Step::Octave:
            return matcher.Sounds().size() == 3
                       ? "Step 3: the match, an octave below, an octave above. Which matches your tinnitus? "
                         "1, 2 or 3 (r again, q stop): "
                       : "Step 3: the match and an octave beside it. Which matches your tinnitus? "
                         "1 or 2 (r again, q stop): ";
        case CPitchMatcher::Step::Done:
            break;
    }
    return {};
}

std::string HintText(const CPitchMatcher& matcher)
{
    if (matcher.CurrentStep() == CPitchMatcher::Step::Level)
        return "Please answer +, -, 1, r or q.";
    return matcher.Sounds().size() == 3 ? "Please answer 1, 2, 3, r or q." : "Please answer 1, 2, r or q.";
}

} // namespace

int RunMatch(int argc, char** argv)
{
    MatchOptions options;
    if (const int status = ParseArguments(argc, argv, options); status != 0)
    {
        if (status == -1)
        {
            std::fputs(kHelp, stdout);
            return 0;
        }
        return status;
    }

    CCueDevice device;
    if (const int status = device.Open(options.backend, options.device, options.volume, "match"); status != 0)
        return status;
    int volume = options.volume;

    CPitchMatcher matcher;
    matcher.SetRange(options.lower, options.upper);
    bool play = true;
    std::string line;
    while (matcher.CurrentStep() != CPitchMatcher::Step::Done)
    {
        if (play)
        {
            const std::vector<double> sounds = matcher.Sounds();
            if (options.verbose)
            {
                std::string text = "sounds:";
                for (double hz : sounds)
                    text += " " + std::to_string(std::lround(hz));
                std::fprintf(stderr, "%s\n", text.c_str());
            }
            if (!device.Play(RenderToneSequence(sounds)))
            {
                std::fprintf(stderr, "susurra-cli: the sound device failed; no result\n");
                return 1;
            }
        }
        std::fputs(QuestionText(matcher, volume).c_str(), stdout);
        std::fflush(stdout);
        const AnswerLine read = ReadAnswerLine(line);
        if (read == AnswerLine::Ended)
        {
            std::fprintf(stdout, "\n");
            std::fprintf(stderr, "susurra-cli: the answers ended before the match did; no result\n");
            return 1;
        }
        play = true; // a line too long comes back empty, and gets the hint below
        if (line == "q")
        {
            std::fprintf(stderr, "susurra-cli: stopped; no result\n");
            return 1;
        }
        if (line == "r")
            continue;
        if (matcher.CurrentStep() == CPitchMatcher::Step::Level && (line == "+" || line == "-"))
        {
            // About 3 dB a step on the linear slider.
            volume = line == "+" ? std::min(CPlaybackEngine::kMaxVolumePosition, std::max(volume + 1, volume * 14 / 10))
                                 : volume * 10 / 14;
            device.SetVolume(volume);
            continue;
        }
        if (matcher.CurrentStep() == CPitchMatcher::Step::Level && line == "1")
        {
            matcher.ConfirmLevel();
            continue;
        }
        const bool digit = line.size() == 1 && line[0] >= '1' && line[0] <= '9';
        if (matcher.CurrentStep() == CPitchMatcher::Step::Level || !digit || !matcher.Answer(line[0] - '0'))
        {
            std::printf("%s\n", HintText(matcher).c_str());
            play = false;
        }
    }
    device.Close();
    std::printf("tinnitus frequency: %d Hz\n", matcher.Result());
    return 0;
}
