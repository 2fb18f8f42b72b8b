// SPDX-License-Identifier: GPL-3.0-or-later
// The audio side of the installed program's end-to-end test.
//   susurra-e2e-audio capture FIFO OUTPUT
//       Makes FIFO, the file an ALSA "file" device writes into, and copies
//       what arrives into OUTPUT at a sound card's pace (88200 bytes a
//       second) until SIGTERM or SIGINT.
//   susurra-e2e-audio check CAPTURE SETTINGS_FOLDER NOISE_SETTING VOLUME_POSITION MIN_SECONDS
//       Checks that CAPTURE, silence around it aside, is what the window sends
//       for one Play of the named setting (built-in or stored in
//       SETTINGS_FOLDER) at that volume slider position: the first signal of
//       the run, surf from 0, halves 0, 1, 0, ... at the device level, cut by
//       Stop after at least MIN_SECONDS.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "playback/noise_synth_generator.h"
#include "playback/playback_engine.h"
#include "playback/surf_shaper.h"
#include "settings/setting_choice.h"
#include "settings/settings_store.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"
#include "testing/engine_doubles.h"
#include "testing/fake_wave_out.h"
#include "testing/report_logs.h"

namespace
{

volatile sig_atomic_t g_quit = 0;

int Capture(const char* fifo, const char* output)
{
    ::unlink(fifo);
    const bool made = ::mkfifo(fifo, 0666) == 0 && ::chmod(fifo, 0666) == 0;
    // Read-write: opening never blocks, and a device closed and opened again
    // (the program probes devices before it opens one) gives no end of file.
    const int in = made ? ::open(fifo, O_RDWR | O_NONBLOCK | O_CLOEXEC) : -1;
    const int out = ::open(output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (in < 0 || out < 0)
    {
        std::perror(in < 0 ? fifo : output);
        return 1;
    }
    ::fcntl(in, F_SETPIPE_SZ, 4096);
    struct sigaction action = {};
    action.sa_handler = [](int) { g_quit = 1; };
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);

    std::vector<char> buffer(8820);
    double allowance = 0.0;
    auto last = std::chrono::steady_clock::now();
    while (!g_quit)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const auto now = std::chrono::steady_clock::now();
        allowance = std::min(allowance + std::chrono::duration<double>(now - last).count() * 88200.0, 8820.0);
        last = now;
        const auto want = static_cast<size_t>(allowance) & ~size_t{1};
        const ssize_t n = ::read(in, buffer.data(), want);
        if (n > 0)
        {
            allowance -= static_cast<double>(n);
            if (::write(out, buffer.data(), static_cast<size_t>(n)) != n)
            {
                std::perror("write");
                return 1;
            }
        }
    }
    ::close(out);
    ::close(in);
    return 0;
}

// The device level the window's engine sets for a slider position.
int32_t LevelOf(int position)
{
    CFakeWaveOut waveOut;
    CNoiseSynth synth;
    CNoiseSynthGenerator generator(synth);
    CTestControls controls;
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine(waveOut, generator, controls, status, messages);
    return static_cast<int32_t>(engine.SetVolume(position) & 0xFFFF);
}

int Check(const char* capturePath, const char* folder, const char* settingName, int position, double minSeconds)
{
    std::ifstream file(capturePath, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<int16_t> captured(bytes.size() / 2);
    std::copy_n(bytes.data(), captured.size() * 2, reinterpret_cast<char*>(captured.data()));

    CSettingsStore store(folder);
    store.SetUp();
    store.LoadSettingsFile(SettingsKind::Noise);
    const SettingChoice<NoiseSetting> choice = ChooseNoiseSetting(store, std::string_view(settingName));
    if (!choice.found)
    {
        std::fprintf(stderr, "check: %s\n", choice.error.c_str());
        return 1;
    }
    const NoiseSetting& s = choice.setting;

    // Silence around the stream: the device runs before Play and after Stop.
    auto nonZero = [](int16_t v) { return v != 0; };
    const auto first = std::find_if(captured.begin(), captured.end(), nonZero);
    const auto last = std::find_if(captured.rbegin(), captured.rend(), nonZero).base();
    if (first >= last)
    {
        std::fprintf(stderr, "check: the capture holds only silence (%zu samples)\n", captured.size());
        return 1;
    }
    const std::vector<int16_t> got(first, last);

    CNoiseSynth synth;
    if (s.noiseType == TinnitusFinder)
        synth.SynthesizeTone(s.tinnitusFrequency);
    else
        synth.Synthesize(s.noiseType, s.lowerLimit, s.upperLimit);
    std::vector<int16_t> halves(CNoiseSynth::kPeriodSamples);
    CSurfShaper shaper(synth.m_source.get(), halves.data());
    shaper.m_playedType = s.noiseType;
    shaper.m_surfStrength = s.surfStrength;
    shaper.m_surfPeriod = s.surfPeriod;
    const int32_t level = LevelOf(position);
    const int length = CSurfShaper::HalfLength(s.noiseType);
    std::vector<int16_t> expected;
    for (int h = 0; expected.size() < got.size() + static_cast<size_t>(length); h = 1 - h)
    {
        shaper.FillHalf(h);
        for (int i = 0; i < length; ++i)
            expected.push_back(static_cast<int16_t>(halves[static_cast<size_t>(h * length + i)] * level / 0xFFFF));
    }
    // The expected stream may itself begin with samples the level made zero.
    const auto start = std::find_if(expected.begin(), expected.end(), nonZero);
    const size_t skipped = static_cast<size_t>(start - expected.begin());
    if (const auto [bad, want] = std::mismatch(got.begin(), got.end(), start); bad != got.end())
    {
        std::fprintf(stderr, "check: sample %zu of the stream is %d, expected %d\n",
                     static_cast<size_t>(bad - got.begin()) + skipped, *bad, *want);
        return 1;
    }
    const double seconds = static_cast<double>(got.size() + skipped) / 44100.0;
    std::printf("check: %zu samples (%.2f s) of \"%s\" at level %d match the engine's stream\n", got.size() + skipped,
                seconds, settingName, level);
    if (seconds < minSeconds)
    {
        std::fprintf(stderr, "check: only %.2f s were played, expected at least %.2f s\n", seconds, minSeconds);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "capture" && argc == 4)
        return Capture(argv[2], argv[3]);
    if (command == "check" && argc == 7)
        return Check(argv[2], argv[3], argv[4], std::atoi(argv[5]), std::atof(argv[6]));
    std::fprintf(stderr,
                 "Usage: susurra-e2e-audio capture FIFO OUTPUT\n"
                 "       susurra-e2e-audio check CAPTURE SETTINGS_FOLDER NOISE_SETTING VOLUME_POSITION MIN_SECONDS\n");
    return 2;
}
