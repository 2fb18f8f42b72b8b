// SPDX-License-Identifier: GPL-3.0-or-later
// Process CPU while playing: 30 s of pink noise with surf through the engine
// and the PortAudio backend into an ALSA "file" device (slave "null") whose
// file is a pipe read at 88200 bytes a second, which paces the device like a
// sound card. Prints the CPU time the process used while playing, without the
// pacing reader's own time. Goal: under 1 % of one core.
//
// Usage: playback_cpu [SECONDS]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "playback/backends/alsa/alsa_wave_out.h"
#include "playback/noise_synth_generator.h"
#include "playback/playback_engine.h"
#include "synth/noise_synth.h"

namespace
{

double Seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double CpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

class CPinkSurf : public IPlayControls
{
public:
    PlayParameters ReadControls() override { return PlayParameters{2, 100, 20000, 440, 30, 20}; }
};

class CPrint : public IStatusSink, public IMessageReporter
{
public:
    void ShowStatus(const std::string& text) override { std::fprintf(stderr, "status: %s\n", text.c_str()); }
    void Report(const std::string&, const std::string& text, MessageIcon) override
    {
        std::fprintf(stderr, "warning: %s\n", text.c_str());
    }
};

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    char dir[] = "/tmp/susurra-cpu-XXXXXX";
    const std::string base = ::mkdtemp(dir);
    const std::string pipe = base + "/capture.raw";
    const std::string conf = base + "/asound.conf";
    std::ofstream(conf) << "</usr/share/alsa/alsa.conf>\npcm.!default {\n  type file\n  slave.pcm \"null\"\n  file \""
                        << pipe << "\"\n  format \"raw\"\n}\n";
    ::setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
    ::mkfifo(pipe.c_str(), 0600);
    const int fd = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ::fcntl(fd, F_SETPIPE_SZ, 4096);

    std::atomic<bool> quit{false};
    std::atomic<long> bytes{0};
    std::atomic<double> readerCpu{0};
    std::thread reader([&] {
        char buffer[8820];
        double allowance = 0;
        auto last = std::chrono::steady_clock::now();
        while (!quit)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const auto now = std::chrono::steady_clock::now();
            allowance = std::min(allowance + std::chrono::duration<double>(now - last).count() * 88200.0, 8820.0);
            last = now;
            const ssize_t n = ::read(fd, buffer, static_cast<std::size_t>(allowance));
            if (n > 0)
            {
                allowance -= static_cast<double>(n);
                bytes += n;
            }
            readerCpu = CpuSeconds(RUSAGE_THREAD);
        }
    });

    {
        CNoiseSynth synth;
        CNoiseSynthGenerator generator(synth);
        CAlsaWaveOut waveOut;
        CPinkSurf controls;
        CPrint print;
        CPlaybackEngine engine(waveOut, generator, controls, print, print);
        engine.InitDevices();
        engine.SetVolume(230);
        engine.OnPlay();
        // Measure steady playing, after the signal is made and output has started.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double cpu0 = CpuSeconds(RUSAGE_SELF) - readerCpu;
        const long bytes0 = bytes;
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = CpuSeconds(RUSAGE_SELF) - readerCpu - cpu0;
        const double played = static_cast<double>(bytes - bytes0) / 88200.0;
        engine.OnStop();
        engine.Shutdown();
        std::printf("played %.2f s of sound in %.2f s; process CPU %.3f s = %.3f %% of one core\n", played, wall, cpu,
                    100.0 * cpu / wall);
    }
    quit = true;
    reader.join();
    ::close(fd);
    ::unlink(pipe.c_str());
    ::unlink(conf.c_str());
    ::rmdir(base.c_str());
    return 0;
}
