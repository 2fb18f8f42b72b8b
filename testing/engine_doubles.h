// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "base/play_controls.h"
#include "playback/playback_engine.h"
#include "playback/signal_generator.h"
#include "playback/surf_shaper.h"
#include "testing/report_logs.h"

// A synthesizer stand-in with a known, never-zero period, so that tests can
// predict every shaped sample and tell signal from silence.
class CTestGenerator : public ISignalGenerator
{
public:
    CTestGenerator() : m_source(262144, 0) {}

    bool Ready() const override { return m_ready; }
    void Synthesize(int type, double, double, const NotchBand& notch) override
    {
        ++m_noiseCalls;
        m_lastNotch = notch;
        for (int i = 0; i < 262144; ++i)
            m_source[i] = static_cast<int16_t>(200 + (i * 37 + m_noiseCalls * 1000 + type * 13) % 9000);
        m_ready = true;
    }
    void SynthesizeTone(double frequency) override
    {
        ++m_toneCalls;
        const int f = static_cast<int>(frequency);
        for (int i = 0; i < 44100; ++i)
        {
            const int v = 100 + (i * f) % 2900;
            m_source[i] = static_cast<int16_t>((i & 1) ? v : -v);
        }
    }
    const int16_t* Source() const override { return m_source.data(); }

    std::vector<int16_t> m_source;
    bool m_ready = false;
    int m_noiseCalls = 0;
    NotchBand m_lastNotch;
    int m_toneCalls = 0;
};

class CTestControls : public IPlayControls
{
public:
    PlayParameters ReadControls() override { return m_params; }
    PlayParameters m_params;
};

// The shaped stream an engine sends from Play on: halves 0, 1, 0, ... of
// `source` through a fresh surf shaper, `samples` long.
inline std::vector<int16_t> ShapedStream(const int16_t* source, int type, std::size_t samples, double strength = 0,
                                         double period = 8)
{
    std::vector<int16_t> buffer(262144);
    CSurfShaper shaper(source, buffer.data());
    shaper.m_playedType = type;
    shaper.m_surfStrength = strength;
    shaper.m_surfPeriod = period;
    const int length = CSurfShaper::HalfLength(type);
    std::vector<int16_t> out;
    for (int h = 0; out.size() < samples; h = 1 - h)
    {
        shaper.FillHalf(h);
        out.insert(out.end(), buffer.begin() + h * length, buffer.begin() + (h + 1) * length);
    }
    out.resize(samples);
    return out;
}

// An engine over a real backend, fed by the test generator at full volume.
template <class WaveOut>
struct CBackendRig
{
    explicit CBackendRig(int type, double strength = 0, double period = 8)
    {
        controls.m_params.noiseType = type;
        controls.m_params.tinnitusFreq = 441;
        controls.m_params.surfStrength = strength;
        controls.m_params.surfPeriod = period;
        engine.InitDevices();
        engine.SetVolume(CPlaybackEngine::kMaxVolumePosition);
    }
    // The stream the engine must send from Play on.
    std::vector<int16_t> Expected(std::size_t samples) const
    {
        const PlayParameters& p = controls.m_params;
        return ShapedStream(generator.Source(), p.noiseType, samples, p.surfStrength, p.surfPeriod);
    }

    WaveOut waveOut;
    CTestGenerator generator;
    CTestControls controls;
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine{waveOut, generator, controls, status, messages};
};
