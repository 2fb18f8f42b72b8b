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
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "soundfile/wave_writer.h"

namespace {

const std::string kDir = SUSURRA_BENCH_DIR;
constexpr double kStandardCdSeconds = 4740.0;  // 01:19:00
constexpr long long kStandardCdBytes = 44 + 2LL * 209034000;

std::vector<int16_t> NoisePeriod()
{
    std::vector<int16_t> source(CWaveWriter::kMaxBlockSamples);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> value(-10000, 10000);
    for (int16_t& s : source)
        s = static_cast<int16_t>(value(random));
    return source;
}

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double TimeCommand(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = Seconds(start);
    return status == 0 ? seconds : -1.0;
}

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

double TimeWriter(CWaveWriter& writer, const std::vector<int16_t>& source,
                  const std::string& path, const Shape& shape)
{
    std::remove(path.c_str());
    writer.source = source.data();
    writer.SetFileName(path);
    const auto start = std::chrono::steady_clock::now();
    const bool ok = writer.Write(kStandardCdSeconds, shape.surfStrength, shape.surfPeriod,
                                 shape.fadeIn, shape.fadeOut, CWaveWriter::kMaxBlockSamples);
    const double seconds = Seconds(start);
    return ok ? seconds : -1.0;
}

void Compare(benchmark::State& state, const std::vector<int16_t>& source, const Shape& shape,
             const std::string& path, double otherSeconds, const char* otherName)
{
    CWaveWriter writer;
    const double seconds = TimeWriter(writer, source, path, shape);
    const uint64_t hash = HashFile(path);
    CWaveWriter reference(0);
    TimeWriter(reference, source, path, shape);
    const bool identical = hash == HashFile(path);
    std::remove(path.c_str());
    if (seconds < 0.0 || otherSeconds < 0.0 || !identical) {
        state.SkipWithError(identical ? "a write failed" : "threaded output differs");
        return;
    }
    state.counters["writer_s"] = seconds;
    state.counters[std::string(otherName) + "_s"] = otherSeconds;
    state.counters["ratio"] = seconds / otherSeconds;
}

void BM_StandardCdVsSox(benchmark::State& state)
{
    const std::vector<int16_t> source = NoisePeriod();
    const std::string soxPath = kDir + "/bench_sox.wav";
    const std::string path = kDir + "/bench_surf.wav";
    for (auto _ : state) {
        std::remove(soxPath.c_str());
        const double sox = TimeCommand("sox -r 44100 -n -b 16 -c 1 '" + soxPath +
                                       "' synth 01:19:00 pinknoise tremolo 0.05 30 "
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
    for (auto _ : state) {
        std::remove(ddPath.c_str());
        const double dd = TimeCommand("dd if=/dev/zero of='" + ddPath + "' bs=1M count=" +
                                      std::to_string(kStandardCdBytes) +
                                      " iflag=count_bytes status=none");
        std::remove(ddPath.c_str());
        Compare(state, source, {0.0, 20.0, 0.0, 0.0}, path, dd, "dd");
    }
}
BENCHMARK(BM_PlainStandardCdVsDd)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
