// Writing a 79-minute file ("Standard CD" with the "Easy Bay Surf" noise),
// timed side by side with the nearest sox command in the same folder, and
// the same length without surf and fades against dd writing as many bytes.
// Each case runs once: a file is 418 MB. The threaded output is compared
// with a single-threaded run of the writer, which must give the same bytes.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "soundfile/wave_writer.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"

namespace
{

const std::string kDir = SUSURRA_BENCH_DIR;
constexpr double kStandardCdSeconds = 4740.0; // 01:19:00
constexpr long long kStandardCdBytes = 44 + 2LL * 209034000;

// "Easy Bay Surf": pink noise from 100 to 20000 Hz, the first period made.
std::vector<int16_t> NoisePeriod()
{
    CNoiseSynth synth;
    synth.Synthesize(Pink, 100.0, 20000.0);
    return std::vector<int16_t>(synth.m_source.get(), synth.m_source.get() + synth.m_size);
}

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// User and system time of this process (all threads) or of its waited-for
// children: on a shared machine the wall time also measures the neighbours.
double CpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + 1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

double g_commandCpuSeconds = 0.0;

double TimeCommand(const std::string& command)
{
    const double cpuStart = CpuSeconds(RUSAGE_CHILDREN);
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = Seconds(start);
    g_commandCpuSeconds = CpuSeconds(RUSAGE_CHILDREN) - cpuStart;
    return status == 0 ? seconds : -1.0;
}

double g_writerCpuSeconds = 0.0;

// FNV-1a over the whole file: enough to tell two outputs apart.
uint64_t HashFile(const std::string& path)
{
    uint64_t hash = 1469598103934665603ULL;
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return 0;
    std::vector<unsigned char> buffer(1 << 20);
    ssize_t got;
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0)
        for (ssize_t i = 0; i < got; ++i)
            hash = (hash ^ buffer[static_cast<size_t>(i)]) * 1099511628211ULL;
    ::close(fd);
    return hash;
}

struct Shape
{
    double surfStrength;
    double surfPeriod;
    double fadeIn;
    double fadeOut;
};

double TimeWriter(CWaveWriter& writer, const std::vector<int16_t>& source, const std::string& path, const Shape& shape)
{
    std::remove(path.c_str());
    writer.source = source.data();
    writer.SetFileName(path);
    const double cpuStart = CpuSeconds(RUSAGE_SELF);
    const auto start = std::chrono::steady_clock::now();
    const bool ok = writer
                        .Write(kStandardCdSeconds, shape.surfStrength, shape.surfPeriod, shape.fadeIn, shape.fadeOut,
                               CWaveWriter::kMaxBlockSamples)
                        .Ok();
    const double seconds = Seconds(start);
    g_writerCpuSeconds = CpuSeconds(RUSAGE_SELF) - cpuStart;
    return ok ? seconds : -1.0;
}

void Compare(benchmark::State& state, const std::vector<int16_t>& source, const Shape& shape, const std::string& path,
             double otherSeconds, const char* otherName)
{
    CWaveWriter writer;
    const double seconds = TimeWriter(writer, source, path, shape);
    const double cpuSeconds = g_writerCpuSeconds;
    const uint64_t hash = HashFile(path);
    CWaveWriter reference(0);
    TimeWriter(reference, source, path, shape);
    const bool identical = hash == HashFile(path);
    std::remove(path.c_str());
    if (seconds < 0.0 || otherSeconds < 0.0 || !identical)
    {
        state.SkipWithError(identical ? "a write failed" : "threaded output differs");
        return;
    }
    state.counters["writer_s"] = seconds;
    state.counters[std::string(otherName) + "_s"] = otherSeconds;
    state.counters["ratio"] = seconds / otherSeconds;
    state.counters["writer_cpu_s"] = cpuSeconds;
    state.counters[std::string(otherName) + "_cpu_s"] = g_commandCpuSeconds;
}

void BM_StandardCdVsSox(benchmark::State& state)
{
    const std::vector<int16_t> source = NoisePeriod();
    const std::string soxPath = kDir + "/bench_sox.wav";
    const std::string path = kDir + "/bench_surf.wav";
    for (auto _ : state)
    {
        std::remove(soxPath.c_str());
        const double sox = TimeCommand("sox -r 44100 -n -b 16 -c 1 '" + soxPath
                                       + "' synth 01:19:00 pinknoise tremolo 0.05 30 "
                                         "fade 10 01:19:00 10");
        std::remove(soxPath.c_str());
        Compare(state, source, {30.0, 20.0, 10.0, 10.0}, path, sox, "sox");
    }
}
BENCHMARK(BM_StandardCdVsSox)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_PlainStandardCdVsDd(benchmark::State& state)
{
    const std::vector<int16_t> source = NoisePeriod();
    const std::string ddPath = kDir + "/bench_dd.bin";
    const std::string path = kDir + "/bench_plain.wav";
    for (auto _ : state)
    {
        std::remove(ddPath.c_str());
        const double dd = TimeCommand("dd if=/dev/zero of='" + ddPath + "' bs=1M count="
                                      + std::to_string(kStandardCdBytes) + " iflag=count_bytes status=none");
        std::remove(ddPath.c_str());
        Compare(state, source, {0.0, 20.0, 0.0, 0.0}, path, dd, "dd");
    }
}
BENCHMARK(BM_PlainStandardCdVsDd)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
