// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli play: plays the noise (or the tone) with its surf on a sound
// device until Ctrl-C or the given duration, through the window's engine.

#include <signal.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "base/printable_text.h"
#include "base/message_reporter.h"
#include "cli/cli_commands.h"
#include "cli/cli_hearing_profile.h"
#include "cli/cli_device_choice.h"
#include "cli/cli_noise_options.h"
#include "cli/cli_setting_options.h"
#include "cli/stderr_filter.h"
#include "cli/stderr_reporter.h"
#include "cli/waking_wave_out.h"
#include "desktop/sleep_inhibitor.h"
#include "playback/noise_synth_generator.h"
#include "playback/playback_engine.h"
#include "playback/backends/backend_choice.h"
#include "synth/ear_gain.h"
#include "synth/noise_synth.h"

namespace
{

constexpr double kMaxFadeInSeconds = 60;
constexpr double kMaxFadeOutSeconds = 86399;
constexpr int kSampleRate = 44100;
// A sound server holds about two seconds; its end is heard well within this.
constexpr int kDrainMs = 5000;
// Sent by the wave output after each notification: look at the engine now.
constexpr int kWakeSignal = SIGUSR1;
// So that play wakes at most five times a second, whatever the device does.
constexpr auto kWakeSpacing = std::chrono::milliseconds(200);

struct PlayOptions
{
    std::optional<std::string> noiseSetting;
    std::string device;         // index or name; empty: the first usable device
    int volume = 9;             // slider position 0..461, as the window starts
    std::optional<int> seconds; // none: until interrupted
    int fadeIn = 0;             // seconds of rise at the start
    std::optional<int> fadeOut; // seconds of fall before the end of --duration
    WaveBackend backend = WaveBackend::Automatic;
    bool inhibit = true; // keep the computer from suspending while playing
};

const char kHelpHead[] = "Usage: susurra-cli play [options]\n"
                         "\n"
                         "Plays the noise (or the tone) with its surf on a sound device until Ctrl-C or\n"
                         "the end of --duration. Without options it plays the noise setting the window\n"
                         "starts with (\"Easy Bay Surf\" at first: pink noise\n"
                         "100..20000 Hz, surf 30 % every 20 s) on the first usable device.\n"
                         "\n"
                         "Noise:\n";

const char kHelpTail[] = "\n"
                         "  --noise-setting NAME   start from a noise setting, built-in or stored\n"
                         "                         ('susurra-cli settings' lists them); the options\n"
                         "                         above change single values of it; default: the\n"
                         "                         setting the window selects at start\n"
                         "\n"
                         "Playback:\n"
                         "  --device INDEX|NAME    a device from 'susurra-cli devices'; default the first\n"
                         "  --volume 0..461        the window's volume slider: linear, 461 is full scale;\n"
                         "                         default 9, where the window starts\n"
                         "  --duration HH:MM:SS    stop after this time; default: play until Ctrl-C\n"
                         "  --fade-in SECONDS      rise from silence over the first 0..60 s; default 0\n"
                         "  --fade-out SECONDS     fall evenly to silence over the last SECONDS of\n"
                         "                         --duration, then stop; needs --duration\n"
                         "  --backend pulse|alsa   play through the desktop's sound server or straight\n"
                         "                         to ALSA; default: the sound server when one answers\n"
                         "                         (or SUSURRA_BACKEND)\n"
                         "  --no-inhibit           let the computer suspend while playing; by default\n"
                         "                         automatic suspend waits until playback ends\n"
                         "  --help                 this text\n"
                         "\n"
                         "Examples:\n"
                         "  susurra-cli play --volume 230\n"
                         "  susurra-cli play --type tinnitus --tinnitus-freq 6000 --duration 00:00:30\n"
                         "  susurra-cli play --endless --duration 08:00:00\n"
                         "  susurra-cli play --duration 00:45:00 --fade-in 10 --fade-out 600\n"
                         "  susurra-cli play --stereo --ear-levels 0,-12\n"
                         "\n"
                         "Exit status: 0 played and stopped, 1 no usable sound device or it failed,\n"
                         "2 a bad option.\n";

// Status texts from Play on; choosing the device says nothing worth printing.
class CStderrStatus : public IStatusSink
{
public:
    // A status is printed once, however often the engine sets it again (a
    // failed device and the stop after it both say "nothing to do").
    void ShowStatus(const std::string& text) override
    {
        if (m_enabled && text != m_shown)
            std::fprintf(stderr, "susurra-cli: %s\n", text.c_str());
        if (m_enabled)
            m_shown = text;
    }
    bool m_enabled = false;

private:
    std::string m_shown;
};

class COptionControls : public IPlayControls
{
public:
    explicit COptionControls(const NoiseOptions& noise) : m_noise(noise) {}
    PlayParameters ReadControls() override
    {
        return PlayParameters{m_noise.noiseType,    m_noise.lowerLimit,
                              m_noise.upperLimit,   m_noise.tinnitusFreq,
                              m_noise.surfStrength, m_noise.surfPeriod,
                              m_noise.endless == 1, m_seed,
                              m_fadeInSamples,      m_endSample,
                              m_fadeOutSamples,     false,
                              m_noise.notch == 1,   m_noise.notchWidthOctaves,
                              StereoOf(m_noise)};
    }

    // Drawn once, so that every Play of this run plays the same sound.
    uint64_t m_seed = 0;
    int64_t m_fadeInSamples = 0;
    int64_t m_endSample = -1;
    int64_t m_fadeOutSamples = 0;

private:
    NoiseOptions m_noise;
};

void Usage(std::string_view problem)
{
    std::fprintf(stderr, "susurra-cli: %.*s\nRun 'susurra-cli play --help' for the options.\n",
                 static_cast<int>(problem.size()), problem.data());
}

// 0 when all options were read, otherwise the exit status.
int ParseArguments(int argc, char** argv, NoiseOptions& noise, PlayOptions& play, bool& help)
{
    COptionReader reader(argc, argv);
    while (!reader.AtEnd())
    {
        const std::string_view argument = reader.Next();
        if (argument == "--help" || argument == "-h")
        {
            help = true;
            return 0;
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
        if (name == "--noise-setting")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            if (!text)
                return 2;
            play.noiseSetting = std::string(*text);
        }
        else if (name == "--device")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            if (!text)
                return 2;
            play.device = *text;
        }
        else if (name == "--backend")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            if (!text)
                return 2;
            const std::optional<WaveBackend> backend = WaveBackendFromName(*text);
            if (!backend)
            {
                Usage("--backend: '" + ArgumentText(*text) + "' is none of pulse, alsa.");
                return 2;
            }
            play.backend = *backend;
        }
        else if (argument == "--no-inhibit")
        {
            play.inhibit = false;
        }
        else if (name == "--volume")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            const std::optional<int> value =
                text ? ParseInteger(name, *text, 0.0, CPlaybackEngine::kMaxVolumePosition) : std::nullopt;
            if (!value)
                return 2;
            play.volume = *value;
        }
        else if (name == "--duration")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            const std::optional<int> value = text ? ParseClockSeconds(name, *text) : std::nullopt;
            if (!value)
                return 2;
            play.seconds = value;
        }
        else if (name == "--fade-in")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            const std::optional<int> value = text ? ParseInteger(name, *text, 0.0, kMaxFadeInSeconds) : std::nullopt;
            if (!value)
                return 2;
            play.fadeIn = *value;
        }
        else if (name == "--fade-out")
        {
            const std::optional<std::string_view> text = reader.Value(argument);
            const std::optional<int> value = text ? ParseInteger(name, *text, 0.0, kMaxFadeOutSeconds) : std::nullopt;
            if (!value)
                return 2;
            play.fadeOut = value;
        }
        else
        {
            Usage("unknown option '" + ArgumentText(argument) + "'.");
            return 2;
        }
    }
    if (play.fadeOut && !play.seconds)
    {
        Usage("--fade-out needs --duration: it fades over the last seconds before the end.");
        return 2;
    }
    if (play.fadeOut && *play.fadeOut > *play.seconds)
    {
        Usage("--fade-out: " + std::to_string(*play.fadeOut) + " s is longer than --duration ("
              + std::to_string(*play.seconds) + " s).");
        return 2;
    }
    return 0;
}

} // namespace

int RunPlay(int argc, char** argv)
{
    NoiseOptions given = UnsetNoiseOptions();
    PlayOptions play;
    bool help = false;
    if (const int status = ParseArguments(argc, argv, given, play, help); status != 0)
        return status;
    if (help)
    {
        std::fputs(kHelpHead, stdout);
        std::fputs(kNoiseOptionsHelp, stdout);
        std::fputs(kHelpTail, stdout);
        return 0;
    }

    // Start from the noise setting as the window would, then the options given.
    const CSettingsStore store = CSettingsStore::ForThisProgram();
    WarnAboutDamagedSettings(store);
    const std::optional<NoiseOptions> chosen = NoiseOptionsFromSetting(store, play.noiseSetting, given);
    if (!chosen)
        return 2;
    const NoiseOptions& noise = *chosen;
    if (!SeedFitsEndless(noise) || !NotchFitsType(given, noise) || !EarsFitStereo(noise))
        return 2;
    const std::optional<WaveBackend> backend = ChosenBackend(play.backend, "play");
    if (!backend)
        return 2;

    // Ctrl-C, termination and the wave output's wake are taken by sigtimedwait
    // below; blocked before any thread starts, so that every thread inherits
    // the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    sigset_t waitSignals = stopSignals;
    sigaddset(&waitSignals, kWakeSignal);
    pthread_sigmask(SIG_BLOCK, &waitSignals, nullptr);

    // Created before any audio thread, destroyed after the last has ended.
    const CStderrFilter filter;
    CStderrReporter reporter;
    CStderrStatus status;
    COptionControls controls(noise);
    controls.m_seed = SeedOrRandom(noise);
    controls.m_fadeInSamples = static_cast<int64_t>(play.fadeIn) * kSampleRate;
    // A fade-out ends the stream on its last sample rather than by the clock.
    if (play.fadeOut)
    {
        controls.m_endSample = static_cast<int64_t>(*play.seconds) * kSampleRate;
        controls.m_fadeOutSamples = static_cast<int64_t>(*play.fadeOut) * kSampleRate;
    }
    const bool shaped = noise.hearingShaped == 1 && !IsTone(noise.noiseType);
    // Stereo: each ear its own shape; mono: both ears' together.
    std::optional<std::array<SpectrumTilt, 2>> tilts;
    if (noise.stereo == 1)
        tilts = ShapeEarTilts(shaped);
    else if (const std::optional<SpectrumTilt> tilt = ShapeTilt(shaped))
        tilts = std::array<SpectrumTilt, 2>{*tilt, *tilt};
    if (!tilts)
        return 1;
    if (noise.endless == 1 && !IsTone(noise.noiseType))
        std::fprintf(stderr, "susurra-cli: seed %llu\n", static_cast<unsigned long long>(controls.m_seed));
    CNoiseSynth synth;
    synth.m_tilt = (*tilts)[0];
    CNoiseSynthGenerator generator(synth);
    // The right ear's noise, with phases of its own.
    CNoiseSynth rightSynth;
    rightSynth.m_phase = CPhaseGenerator(kRightEarPhaseState);
    rightSynth.m_tilt = (*tilts)[1];
    CNoiseSynthGenerator rightGenerator(rightSynth);
    const std::unique_ptr<IWaveOut> backendOut = CreateWaveOut(*backend);
    if (ReportUnreachedServer(*backendOut))
        return 1;
    CWakingWaveOut waveOut(*backendOut, kWakeSignal);
    CPlaybackEngine engine(waveOut, generator, controls, status, reporter, &rightGenerator);

    engine.InitDevices();
    if (engine.DeviceNames().empty())
        return 1;
    if (!play.device.empty())
    {
        const int entry = FindDevice(engine.DeviceNames(), play.device);
        if (entry < 0)
        {
            Usage("--device: no usable sound device '" + ArgumentText(play.device)
                  + "'; 'susurra-cli devices' lists them.");
            return 2;
        }
        if (entry != engine.SelectedEntry())
            engine.OnSelchangeSoundDevice(entry);
    }
    if (!engine.DeviceOpen())
        return 1;
    engine.SetVolume(play.volume);
    engine.SetEndlessTilts((*tilts)[0], (*tilts)[1]);

    status.m_enabled = true;
    const auto reportFailure = [&engine] {
        if (!engine.OnCheckDevice())
            return false;
        std::fprintf(stderr, "susurra-cli: the sound device failed; playback stopped\n");
        return true;
    };
    engine.OnPlay();
    if (!engine.IsPlaying())
    {
        // A device that fails while Play starts it is reported as one that
        // fails later is: a busy machine can take that long to start.
        reportFailure();
        return 1;
    }
    // Without a session bus or an inhibit service this asks nothing and says
    // nothing; released when play returns, and by the bus if it dies.
    CSleepInhibitor inhibitor;
    if (play.inhibit)
        inhibitor.Hold({"susurra-cli", "Playing noise", {}, 0});

    // Sleeps until a signal: Ctrl-C and the like, or the wave output's wake
    // after a buffer came back; the clock ends a --duration without fade.
    // With a fade-out the stream's end stops playback; the clock is only the
    // backstop of a device that stopped taking samples.
    using Clock = std::chrono::steady_clock;
    const int backstop = play.fadeOut ? 10 : 0;
    const std::optional<Clock::time_point> deadline =
        play.seconds ? std::optional(Clock::now() + std::chrono::seconds(*play.seconds + backstop)) : std::nullopt;
    int result = 0;
    bool ended = false;
    for (;;)
    {
        if (reportFailure())
        {
            result = 1;
            break;
        }
        if (engine.HasEnded())
        {
            // The device (a sound server above all) still holds the end of
            // the stream: let it be heard before the stop cuts it.
            waveOut.DrainOpen(kDrainMs);
            engine.OnCheckEnded();
            ended = true;
            break;
        }
        int signal;
        if (deadline)
        {
            const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(*deadline - Clock::now()).count();
            if (left <= 0)
                break;
            const timespec wait{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
            signal = sigtimedwait(&waitSignals, nullptr, &wait);
        }
        else
        {
            signal = sigwaitinfo(&waitSignals, nullptr);
        }
        if (signal == SIGINT || signal == SIGTERM || signal == SIGHUP)
            break;
        // A device that takes samples faster than it plays them (a null
        // device) hands buffers back as fast: the signals that came meanwhile
        // stay pending and are taken at the next wait.
        if (signal == kWakeSignal)
        {
            std::this_thread::sleep_for(kWakeSpacing);
            // A stop signal comes first, however many wakes are pending.
            const timespec none{0, 0};
            if (sigtimedwait(&stopSignals, nullptr, &none) > 0)
                break;
        }
    }
    if (!ended)
        engine.OnStop();
    engine.Shutdown();
    return result;
}
