// SPDX-License-Identifier: GPL-3.0-or-later
// Endless noise: the 79-minute "Standard CD" file of "Easy Bay Surf" with a
// fresh period for every block, timed side by side with the nearest sox
// command; and the time to make one period, which is what playback spends
// every 5.944 s on its producer thread.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "soundfile/sound_render.h"
#include "synth/endless_noise.h"

namespace
{

const std::string kDir = SUSURRA_BENCH_DIR;

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double CpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + 1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void BM_EndlessStandardCdVsSox(benchmark::State& state)
{
    const std::string soxPath = kDir + "/bench_endless_sox.wav";
    const std::string path = kDir + "/bench_endless.wav";
    SoundValues sound; // "Easy Bay Surf"
    sound.endless = true;
    sound.seed = 1;
    const FileValues file; // "Standard CD"
    for (auto _ : state)
    {
        std::remove(soxPath.c_str());
        const double soxCpuStart = CpuSeconds(RUSAGE_CHILDREN);
        const auto soxStart = std::chrono::steady_clock::now();
        const int status = std::system(("sox -r 44100 -n -b 16 -c 1 '" + soxPath
                                        + "' synth 01:19:00 pinknoise tremolo 0.05 30 fade 10 01:19:00 10")
                                           .c_str());
        const double sox = Seconds(soxStart);
        const double soxCpu = CpuSeconds(RUSAGE_CHILDREN) - soxCpuStart;
        std::remove(soxPath.c_str());

        std::remove(path.c_str());
        CNoiseSynth synth;
        MakeSignal(synth, sound);
        CWaveWriter writer;
        writer.SetFileName(path);
        const double cpuStart = CpuSeconds(RUSAGE_SELF);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = WriteSoundFile(writer, synth, sound, file).Ok();
        const double seconds = Seconds(start);
        const double cpu = CpuSeconds(RUSAGE_SELF) - cpuStart;
        std::remove(path.c_str());
        if (status != 0 || !ok)
        {
            state.SkipWithError(ok ? "sox failed" : "the write failed");
            return;
        }
        state.counters["endless_s"] = seconds;
        state.counters["sox_s"] = sox;
        state.counters["ratio"] = seconds / sox;
        state.counters["endless_cpu_s"] = cpu;
        state.counters["sox_cpu_s"] = soxCpu;
    }
}
BENCHMARK(BM_EndlessStandardCdVsSox)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// One period of pink noise 100..20000 Hz, as the playback producer makes it.
void BM_EndlessPeriod(benchmark::State& state)
{
    CEndlessNoise noise;
    noise.Start(state.range(0), 100.0, 20000.0, 1);
    std::vector<int16_t> out(CEndlessNoise::kPeriodSamples);
    const double cpuStart = CpuSeconds(RUSAGE_SELF);
    for (auto _ : state)
    {
        noise.Next(out.data());
        benchmark::DoNotOptimize(out.data());
    }
    // Percent of one core while playing: one period every 262144 / 44100 s.
    const double perPeriod = (CpuSeconds(RUSAGE_SELF) - cpuStart) / static_cast<double>(state.iterations());
    state.counters["playback_core_pct"] = 100.0 * perPeriod * 44100.0 / CEndlessNoise::kPeriodSamples;
}
BENCHMARK(BM_EndlessPeriod)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
