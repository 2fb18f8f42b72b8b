// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli render: writes the sound into a WAV file, the same bytes as the
// window's To File for the same values.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <atomic>
#include <signal.h>
#include <unistd.h>

#include "base/printable_text.h"
#include "base/message_reporter.h"
#include "base/progress_sink.h"
#include "cli/cli_commands.h"
#include "cli/cli_hearing_profile.h"
#include "cli/cli_noise_options.h"
#include "cli/cli_setting_options.h"
#include "cli/stderr_reporter.h"
#include "settings/setting_text.h"
#include "soundfile/compressed_writer.h"
#include "soundfile/sound_file_type.h"
#include "soundfile/sound_render.h"
#include "soundfile/wave_writer.h"
#include "synth/noise_synth.h"
#include "synth/parameter_limits.h"

namespace
{

// Ctrl-C, a closed terminal or termination stop the write between blocks, so
// that the temporary file is removed and the old file stays.
std::atomic<bool> g_stopRequested{false};
volatile sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int signal)
{
    g_stopSignal = signal;
    g_stopRequested.store(true, std::memory_order_relaxed);
}

void CatchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // A signal ignored at start (nohup, a background job) stays ignored.
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
    {
        struct sigaction old = {};
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

// Ends the program as the signal would have, now that nothing is left behind.
void DieOfStopSignal()
{
    const int signal = g_stopSignal;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    ::raise(signal);
}

// The file values: those of the chosen file setting ("Standard CD" at first
// start), with the options given laid over them.
struct FileOptions
{
    double fadeIn = 10.0;  // seconds
    double fadeOut = 10.0; // seconds
    int hours = 1;
    int minutes = 19;
    int seconds = 0;
    bool quiet = false;
};

const char kHelpHead[] = "Usage: susurra-cli render [options] OUTPUT.wav|.flac|.opus|.mp3\n"
                         "\n"
                         "Writes the noise (or the tone) with its surf, fades and total length into a\n"
                         "16-bit WAV file at 44100 Hz (mono; two channels with --stereo), or, by\n"
                         "OUTPUT's suffix, into a lossless FLAC file (the same samples), an Ogg Opus\n"
                         "file (about 48 kbit/s per channel) or an MP3 file (about 96 kbit/s); a\n"
                         "name without a suffix is a WAV file, another suffix is refused. OUTPUT \"-\" "
                         "writes the WAV file to standard\n"
                         "output. Without options it writes the noise and file settings that the window\n"
                         "selects at start; at first start that is \"Easy Bay Surf\" (pink noise\n"
                         "100..20000 Hz, surf 30 % every 20 s) as a \"Standard CD\" (fades of 10 s,\n"
                         "01:19:00). The defaults below are those of the first start. Endless noise\n"
                         "prints its seed (\"susurra-cli: seed N\") on standard error.\n"
                         "\n"
                         "Noise:\n";

const char kHelpTail[] = "\n"
                         "File:\n"
                         "  --fade-in S            seconds of rising level at the start, 0..1000; default 10\n"
                         "  --fade-out S           seconds of falling level at the end, 0..1000; default 10\n"
                         "  --length HH:MM:SS      total playing time, 00:00:00..23:59:59, for a WAV file\n"
                         "                         at most 13:31:35 (its header holds no more), a\n"
                         "                         stereo one half that, 06:45:47; default 01:19:00\n"
                         "\n"
                         "Settings:\n"
                         "%s"
                         "\n"
                         "Other:\n"
                         "  --quiet                no progress display, and no seed line\n"
                         "  --help                 this text\n"
                         "\n"
                         "Examples:\n"
                         "  susurra-cli render night.wav\n"
                         "  susurra-cli render --noise-setting \"Strong Bay Surf\" --surf-period 15 bay.wav\n"
                         "  susurra-cli render --type white --lower 200 --upper 8000 --surf-strength 0 \\\n"
                         "      --fade-in 0 --fade-out 30 --length 00:45:00 fan.wav\n"
                         "  susurra-cli render --type tinnitus --tinnitus-freq 6000 --length 00:00:30 tone.wav\n"
                         "  susurra-cli render --length 00:10:00 - | aplay\n"
                         "  susurra-cli render --endless --seed 42 --length 08:00:00 night.wav\n"
                         "  susurra-cli render --length 20:00:00 night.opus\n"
                         "  susurra-cli render --type white --notch --tinnitus-freq 6000 notched.wav\n"
                         "  susurra-cli render --stereo --ear-levels 0,-12 --length 02:00:00 ears.flac\n"
                         "  susurra-cli render --type tinnitus --stereo --tone-ear left tone.wav\n"
                         "\n"
                         "Exit status: 0 written, 1 the file could not be written, 2 a bad option.\n";

// A one-line bar on a terminal; redrawn only when the position changes.
class CProgressBar : public IProgressSink
{
public:
    explicit CProgressBar(const char* label) : m_label(label) {}
    ~CProgressBar() override { Finish(); }

    void SetPos(int position) override
    {
        position = position < 0 ? 0 : position > 100 ? 100 : position;
        if (position == m_shown)
            return;
        m_shown = position;
        constexpr int kWidth = 40;
        char bar[kWidth + 1];
        const int filled = position * kWidth / 100;
        std::memset(bar, '#', static_cast<size_t>(filled));
        std::memset(bar + filled, '.', static_cast<size_t>(kWidth - filled));
        bar[kWidth] = '\0';
        std::fprintf(stderr, "\r%-24s [%s] %3d%%", m_label, bar, position);
        std::fflush(stderr);
    }

    void Finish()
    {
        if (m_shown >= 0)
            std::fputc('\n', stderr);
        m_shown = -1;
    }

private:
    const char* m_label;
    int m_shown = -1;
};

void Usage(std::string_view problem)
{
    std::fprintf(stderr, "susurra-cli: %.*s\nRun 'susurra-cli render --help' for the options.\n",
                 static_cast<int>(problem.size()), problem.data());
}

bool ParseLength(std::string_view option, std::string_view text, FileOptions& file)
{
    const std::optional<int> seconds = ParseClockSeconds(option, text);
    if (!seconds)
        return false;
    file.hours = *seconds / 3600;
    file.minutes = *seconds / 60 % 60;
    file.seconds = *seconds % 60;
    return true;
}

// The options given on the command line; a value not given is NaN, -1 or
// absent, and the chosen setting supplies it.
struct GivenOptions
{
    NoiseOptions noise = UnsetNoiseOptions();
    FileOptions file{NAN, NAN, -1, -1, -1, false};
    std::optional<std::string> noiseSetting;
    std::optional<std::string> fileSetting;
};

void LayOver(const FileOptions& given, FileOptions& file)
{
    if (!std::isnan(given.fadeIn))
        file.fadeIn = given.fadeIn;
    if (!std::isnan(given.fadeOut))
        file.fadeOut = given.fadeOut;
    if (given.hours >= 0)
    {
        file.hours = given.hours;
        file.minutes = given.minutes;
        file.seconds = given.seconds;
    }
    file.quiet = given.quiet;
}

// 0 when all options were read, otherwise the exit status.
int ParseArguments(int argc, char** argv, GivenOptions& given, std::string& output, bool& help)
{
    NoiseOptions& noise = given.noise;
    FileOptions& file = given.file;
    COptionReader reader(argc, argv);
    bool haveOutput = false;
    bool optionsEnded = false;
    while (!reader.AtEnd())
    {
        const std::string_view argument = reader.Next();
        if (optionsEnded || argument == "-" || !argument.starts_with("-"))
        {
            if (haveOutput)
            {
                Usage("only one OUTPUT file can be written at a time.");
                return 2;
            }
            output = argument;
            haveOutput = true;
            continue;
        }
        if (argument == "--")
        {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h")
        {
            help = true;
            return 0;
        }
        if (argument == "--quiet" || argument == "-q")
        {
            file.quiet = true;
            continue;
        }
        switch (ParseNoiseOption(argument, reader, noise))
        {
            case OptionOutcome::Taken:
                continue;
            case OptionOutcome::Refused:
                return 2;
            case OptionOutcome::NotMine:
                break;
        }
        const std::string_view name = OptionName(argument);
        if (name == "--fade-in" || name == "--fade-out")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            const std::optional<double> value = text ? ParseNumber(name, *text, Limits::kFade) : std::nullopt;
            if (!value)
                return 2;
            (name == "--fade-in" ? file.fadeIn : file.fadeOut) = *value;
        }
        else if (name == "--length")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            if (!text || !ParseLength(name, *text, file))
                return 2;
        }
        else if (name == "--noise-setting" || name == "--file-setting")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            if (!text)
                return 2;
            (name == "--noise-setting" ? given.noiseSetting : given.fileSetting) = std::string(*text);
        }
        else
        {
            Usage("unknown option '" + ArgumentText(argument) + "'.");
            return 2;
        }
    }
    return 0;
}

} // namespace

int RunRender(int argc, char** argv)
{
    GivenOptions given;
    std::string output;
    bool help = false;
    if (const int status = ParseArguments(argc, argv, given, output, help); status != 0)
        return status;
    if (help)
    {
        std::fputs(kHelpHead, stdout);
        std::fputs(kNoiseOptionsHelp, stdout);
        std::printf(kHelpTail, kSettingOptionsHelp);
        return 0;
    }

    // Start from the settings as the window would, then the options given.
    const CSettingsStore store = CSettingsStore::ForThisProgram();
    WarnAboutDamagedSettings(store);
    const std::optional<NoiseOptions> fromSetting = NoiseOptionsFromSetting(store, given.noiseSetting, given.noise);
    // Only a WAV file's header ends at 13:31:35; the type is known below.
    const GivenFileValues givenFile{!std::isnan(given.file.fadeIn), !std::isnan(given.file.fadeOut),
                                    given.file.hours >= 0};
    const std::optional<FileSetting> fileSetting =
        CheckedFileSetting(store, given.fileSetting, Limits::kMaxClockSeconds, givenFile);
    if (!fromSetting || !fileSetting)
        return 2;
    const NoiseOptions& noise = *fromSetting;
    if (!SeedFitsEndless(noise) || !NotchFitsType(given.noise, noise) || !EarsFitStereo(noise))
        return 2;
    FileOptions file{static_cast<double>(fileSetting->fadeIn),
                     static_cast<double>(fileSetting->fadeOut),
                     fileSetting->hours,
                     fileSetting->minutes,
                     fileSetting->seconds,
                     false};
    LayOver(given.file, file);
    if (output.empty())
        output = FieldText(fileSetting->fileName);
    if (output.empty())
    {
        Usage("the OUTPUT file is missing.");
        return 2;
    }

    if (!IsTone(noise.noiseType) && noise.lowerLimit > noise.upperLimit)
        std::fprintf(stderr,
                     "susurra-cli: warning: the lower frequency %g Hz is above the upper %g Hz, so the "
                     "file will be silent.\n",
                     noise.lowerLimit, noise.upperLimit);

    const SoundFileType type = SoundFileTypeOf(output);
    if (type == SoundFileType::Unknown)
    {
        std::fprintf(stderr, "susurra-cli: %s: %s.\n", ArgumentText(output).c_str(), UnknownSuffixText());
        return 2;
    }
    const StereoSound stereo = StereoOf(noise);
    if (type == SoundFileType::Wave
        && file.hours * 3600 + file.minutes * 60 + file.seconds > Limits::MaxWaveSeconds(stereo.on ? 2 : 1))
    {
        if (stereo.on)
            std::fprintf(stderr, "susurra-cli: --length: a stereo WAV file can hold at most 06:45:47 of sound, "
                                 "half of a mono one's 13:31:35.\n");
        else
            std::fprintf(stderr, "susurra-cli: --length: a WAV file can hold at most 13:31:35 of sound.\n");
        return 2;
    }
    if (!CanWriteType(type))
    {
        std::fprintf(stderr, "susurra-cli: %s: this system's libsndfile cannot write %s files.\n",
                     ArgumentText(output).c_str(), SoundFileSuffix(type));
        return 1;
    }
    const bool toStdout = output == "-";
    if (toStdout && ::isatty(STDOUT_FILENO))
    {
        Usage("standard output is a terminal; name a file or redirect the output.");
        return 2;
    }
    CWaveWriter writer;
    if (!writer.SetFileName(toStdout ? std::string_view("standard output") : output))
    {
        std::fprintf(stderr, "susurra-cli: OUTPUT: Please enter no more than %d characters.\n",
                     CWaveWriter::kMaxFileNameChars);
        return 2;
    }

    const bool showProgress = !file.quiet && ::isatty(STDERR_FILENO);
    CStderrReporter reporter;
    CProgressBar generating("generating noise signal");
    CProgressBar writing("writing sound file");

    SoundValues sound{noise.noiseType,    noise.lowerLimit,   noise.upperLimit,
                      noise.tinnitusFreq, noise.surfStrength, noise.surfPeriod};
    sound.endless = noise.endless == 1 && !IsTone(noise.noiseType);
    sound.notch = noise.notch == 1 && !IsTone(noise.noiseType);
    sound.notchWidthOctaves = noise.notchWidthOctaves;
    sound.stereo = stereo;
    const bool shaped = noise.hearingShaped == 1 && !IsTone(noise.noiseType);
    if (stereo.on)
    {
        // Each ear shaped to its own hearing.
        const std::optional<std::array<SpectrumTilt, 2>> tilts = ShapeEarTilts(shaped);
        if (!tilts)
            return 1;
        sound.tilt = (*tilts)[0];
        sound.rightTilt = (*tilts)[1];
    }
    else
    {
        const std::optional<SpectrumTilt> tilt = ShapeTilt(shaped);
        if (!tilt)
            return 1;
        sound.tilt = *tilt;
    }
    if (sound.endless)
    {
        sound.seed = SeedOrRandom(noise);
        // The seed makes the same file again; say it before the long part.
        if (!file.quiet)
            std::fprintf(stderr, "susurra-cli: seed %llu\n", static_cast<unsigned long long>(sound.seed));
    }
    if (!toStdout)
        CatchStopSignals();
    CNoiseSynth synth;
    if (showProgress)
        synth.m_progress = &generating;
    MakeSignal(synth, sound);
    // The bar stops short of 100 when the transform posts its last step.
    if (showProgress && !IsTone(noise.noiseType))
        generating.SetPos(100);
    generating.Finish();

    writer.cancel = &g_stopRequested;
    if (showProgress)
        writer.progress = &writing;
    const FileValues values{file.fadeIn, file.fadeOut,
                            static_cast<double>(file.hours * 3600 + file.minutes * 60 + file.seconds)};
    const CIoResult result = WriteSoundFile(writer, synth, sound, values, toStdout ? STDOUT_FILENO : -1);
    writing.Finish();
    if (!result && g_stopRequested.load())
        DieOfStopSignal();
    if (!result)
        reporter.Report("Warning", IoResultText(result), MessageIcon::Exclamation);
    return result ? 0 : 1;
}
