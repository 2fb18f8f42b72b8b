// SPDX-License-Identifier: GPL-3.0-or-later
// The 79-minute "Standard CD" file with "Easy Bay Surf" as Ogg Opus, side by
// side with the same file as WAV and with sox writing its nearest WAV: wall
// time and size. The encoder runs on a thread of its own, fed through a pipe
// while the samples are made; the part of its time that the sample making
// hides is the encoder's CPU time less the wait for it after the last
// sample, over the encoder's CPU time. Each case runs once.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "soundfile/sound_render.h"

namespace
{

const std::string kDir = SUSURRA_BENCH_DIR;
constexpr double kStandardCdSeconds = 4740.0; // 01:19:00

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double FileMegabytes(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) / 1e6 : -1.0;
}

void BM_StandardCdOpusWaveAndSox(benchmark::State& state)
{
    SoundValues sound; // "Easy Bay Surf"
    CNoiseSynth synth;
    MakeSignal(synth, sound);
    const FileValues file{10.0, 10.0, kStandardCdSeconds};
    const std::string wave = kDir + "/standard_cd.wav";
    const std::string opus = kDir + "/standard_cd.opus";
    const std::string soxWave = kDir + "/standard_cd_sox.wav";
    for (auto _ : state)
    {
        CWaveWriter writer;
        writer.SetFileName(wave);
        auto start = std::chrono::steady_clock::now();
        const bool waveOk = WriteSoundFile(writer, synth, sound, file).Ok();
        const double waveSeconds = Seconds(start);

        writer.SetFileName(opus);
        EncoderTimes times;
        start = std::chrono::steady_clock::now();
        const bool opusOk = WriteSoundFile(writer, synth, sound, file, -1, &times).Ok();
        const double opusSeconds = Seconds(start);

        start = std::chrono::steady_clock::now();
        const int soxStatus = std::system(("sox -r 44100 -n -b 16 -c 1 '" + soxWave
                                           + "' synth 01:19:00 pinknoise tremolo 0.05 30 fade 10 01:19:00 10")
                                              .c_str());
        const double soxSeconds = Seconds(start);
        if (!waveOk || !opusOk || soxStatus != 0)
        {
            state.SkipWithError("a write failed");
            break;
        }
        state.counters["wav_s"] = waveSeconds;
        state.counters["opus_s"] = opusSeconds;
        state.counters["sox_s"] = soxSeconds;
        state.counters["wav_MB"] = FileMegabytes(wave);
        state.counters["opus_MB"] = FileMegabytes(opus);
        state.counters["sox_MB"] = FileMegabytes(soxWave);
        state.counters["opus_per_wav"] = FileMegabytes(opus) / FileMegabytes(wave);
        state.counters["encoder_cpu_s"] = times.encoderSeconds;
        state.counters["encoder_tail_s"] = times.tailSeconds;
        state.counters["encoder_hidden_pct"] =
            times.encoderSeconds > 0.0 ? 100.0 * (times.encoderSeconds - times.tailSeconds) / times.encoderSeconds
                                       : 0.0;
    }
    std::remove(wave.c_str());
    std::remove(opus.c_str());
    std::remove(soxWave.c_str());
}
BENCHMARK(BM_StandardCdOpusWaveAndSox)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
