// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "base/play_controls.h"
#include "playback/signal_generator.h"
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
