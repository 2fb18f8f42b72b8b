// SPDX-License-Identifier: GPL-3.0-or-later
// Glide and Stop through a real PulseAudio of the test's own: the server's
// queued sound is replaced, so both are heard within half a second.
#include "playback/backends/pulse/pulse_wave_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "synth/noise_type.h"
#include "testing/engine_doubles.h"
#include "testing/test_sound_server.h"

namespace
{

struct PulseGlide : testing::Test
{
    CTestSoundServer m_server; // before the rig: the backend connects to it
};

// Where `got` from `start` on first differs from `expected`.
std::size_t Departure(const std::vector<int16_t>& got, std::size_t start, const std::vector<int16_t>& expected)
{
    const auto from = got.begin() + static_cast<std::ptrdiff_t>(start);
    const std::size_t n = std::min(expected.size(), got.size() - start);
    return start
           + static_cast<std::size_t>(
               std::mismatch(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(n), from).first
               - expected.begin());
}

TEST_F(PulseGlide, AGlideIsHeardWithinHalfASecondAndStopRampsDownWithoutACut)
{
    CBackendRig<CPulseWaveOut> rig(White);
    rig.controls.m_params.glide = true;
    rig.engine.OnPlay();
    const std::vector<int16_t> old = rig.Expected(40 * 44100);
    ASSERT_TRUE(m_server.WaitForSamples(m_server.Samples() + 2 * 44100));
    const std::size_t glided = m_server.Samples();
    rig.generator.m_ready = false;
    rig.controls.m_params.noiseType = Pink;
    rig.engine.OnPlay();
    ASSERT_TRUE(m_server.WaitForSamples(glided + 2 * 44100));
    const std::size_t stopped = m_server.Samples();
    rig.engine.OnStop();
    ASSERT_TRUE(m_server.WaitForSamples(stopped + 44100));

    const std::vector<int16_t> got = m_server.Copy();
    const std::size_t start = FindStream(got, old);
    ASSERT_NE(start, std::string::npos) << "the first sound never reached the server";
    const std::size_t changed = Departure(got, start, old);
    ASSERT_LT(changed, got.size());
    EXPECT_LT(changed, glided + 22050) << "the glide was heard " << (changed - glided) << " samples late";

    // After Stop the sound ramps to silence (the sink's own buffer, which the
    // pipe holds, plays out first) and stays silent.
    std::size_t quiet = got.size();
    for (std::size_t i = stopped; i + 4410 <= got.size(); ++i)
    {
        if (std::all_of(got.begin() + static_cast<std::ptrdiff_t>(i), got.end(), [](int16_t s) { return s == 0; }))
        {
            quiet = i;
            break;
        }
    }
    ASSERT_LT(quiet, stopped + 44100) << "the sound went on after Stop";
    // The 50 ms before the silence fall on a line from the stream's peak: a
    // cut would leave full-level samples just before it. The ramp's last few
    // samples may round to zero, so the silence can seem to start up to
    // kSlack samples early: the line is allowed that much.
    const int peak = *std::max_element(old.begin(), old.end());
    constexpr double kSlack = 16.0;
    for (std::size_t k = 0; k < 2205; ++k)
        ASSERT_LE(std::abs(static_cast<int>(got[quiet - 2205 + k])),
                  peak * std::min(1.0, (2205.0 + kSlack - k) / 2205.0) + 1.0)
            << k;
}

} // namespace
