// One noise period per type against one FFTW transform of the same size.
// Goal: a whole Synthesize of 100..20000 Hz within five times FFTW's time.

#include <complex>
#include <memory>

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include "synth/noise_synth.h"
#include "synth/noise_type.h"

namespace
{

void BM_Synthesize(benchmark::State& state)
{
    auto synth = std::make_unique<CNoiseSynth>();
    const int type = static_cast<int>(state.range(0));
    for (auto _ : state)
    {
        synth->Synthesize(type, 100, 20000);
        benchmark::DoNotOptimize(synth->m_source[0]);
    }
    state.SetLabel(std::string(NoiseTypeName(type)));
}
BENCHMARK(BM_Synthesize)->Arg(Physiological)->Arg(White)->Arg(Pink)->Unit(benchmark::kMillisecond);

void BM_SynthesizeTone(benchmark::State& state)
{
    auto synth = std::make_unique<CNoiseSynth>();
    for (auto _ : state)
    {
        synth->SynthesizeTone(440);
        benchmark::DoNotOptimize(synth->m_source[0]);
    }
}
BENCHMARK(BM_SynthesizeTone)->Unit(benchmark::kMillisecond);

void BM_FftwInPlace(benchmark::State& state)
{
    constexpr int kN = CNoiseSynth::kPeriodSamples;
    fftw_complex* data = fftw_alloc_complex(kN);
    fftw_plan plan = fftw_plan_dft_1d(kN, data, data, FFTW_BACKWARD, FFTW_ESTIMATE);
    for (int i = 0; i < kN; ++i)
    {
        data[i][0] = (i % 7) * 0.25;
        data[i][1] = (i % 5) * -0.5;
    }
    for (auto _ : state)
    {
        fftw_execute(plan);
        benchmark::DoNotOptimize(data[0][0]);
    }
    fftw_destroy_plan(plan);
    fftw_free(data);
}
BENCHMARK(BM_FftwInPlace)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
