// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli play end to end through a sound server of the test's own,
// PulseAudio and PipeWire alike, whose default sink is a pipe this test
// reads: the end of a fade is heard to its last sample, and without options
// the stream arrives sample for sample.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "playback/fade_curve.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"
#include "testing/engine_doubles.h"
#include "testing/param_name.h"
#include "testing/temp_folder.h"
#include "testing/test_pipewire.h"
#include "testing/test_sound_server.h"

namespace
{

constexpr int kRate = 44100;

struct Delivery
{
    const char* name;
    bool pipeWire;
    const char* args;
    int type; // White or TinnitusFinder (at 1000 Hz), both without surf at full scale
    int seconds;
    int fadeOutSeconds; // 0: none, the clock stops the stream
};

struct SoundServerE2eTest : testing::TestWithParam<Delivery>
{
    void SetUp() override
    {
        if (GetParam().pipeWire)
        {
            auto pipeWire = std::make_unique<CTestPipeWire>();
            // Only a daemon that cannot run here at all skips the test; one
            // that runs and does not answer fails it.
            if (pipeWire->CannotRun())
                GTEST_SKIP() << "PipeWire cannot run here:\n" << pipeWire->Log();
            ASSERT_TRUE(pipeWire->Started()) << "PipeWire runs but does not answer:\n" << pipeWire->Log();
            m_server = std::move(pipeWire);
        }
        else
        {
            m_server = std::make_unique<CTestSoundServer>();
        }
    }

    // The stream play must send from its first sample on: to its end with a
    // fade, and beyond the duration without.
    static std::vector<int16_t> Expected(const Delivery& row)
    {
        CNoiseSynth synth;
        if (row.type == TinnitusFinder)
            synth.SynthesizeTone(1000);
        else
            synth.Synthesize(row.type, 100.0, 20000.0, NotchBand{});
        const std::size_t end = static_cast<std::size_t>(row.seconds) * kRate;
        // Stopped by the clock, the stream may run a moment past its time.
        std::vector<int16_t> stream =
            ShapedStream(synth.m_source.get(), row.type, row.fadeOutSeconds > 0 ? end : end + 2 * kRate);
        const int64_t fade = int64_t{row.fadeOutSeconds} * kRate;
        for (std::size_t i = 0; fade > 0 && i < end; ++i)
            stream[i] = FadeCurve::Scale(stream[i], FadeCurve::FallGain(static_cast<int64_t>(i) - (end - fade), fade));
        return stream;
    }

    CTempFolder m_dir;
    std::unique_ptr<CTestServerBase> m_server;
};

TEST_P(SoundServerE2eTest, PlayDeliversTheStream)
{
    const Delivery& row = GetParam();
    const std::size_t before = m_server->Samples();
    ASSERT_EQ(RunShell(m_dir, "env -u SUSURRA_BACKEND HOME='" + m_dir.Path() + "' " SUSURRA_CLI " " + row.args), 0)
        << ReadAll(m_dir / "err");
    EXPECT_EQ(ReadAll(m_dir / "err"),
              "susurra-cli: generating noise signal\nsusurra-cli: playing\nsusurra-cli: nothing to do\n");
    // What the server still held has played out once the command returned.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    const std::vector<int16_t> expected = Expected(row);
    const std::vector<int16_t> got = m_server->Copy();
    const std::size_t start = FindStream(got, expected, before);
    ASSERT_NE(start, std::string::npos) << "the stream never reached the server";
    const auto from = got.begin() + static_cast<std::ptrdiff_t>(start);
    const std::size_t played =
        std::mismatch(expected.begin(), expected.end(), from, got.end()).first - expected.begin();
    if (row.fadeOutSeconds > 0)
    {
        // The whole fade down to its silent end, not cut by the stop.
        EXPECT_EQ(played, expected.size()) << "the stream differs from the fade after " << played << " samples";
    }
    else
    {
        // The clock stops it about when its time is up.
        EXPECT_GE(played, static_cast<std::size_t>(row.seconds - 1) * kRate)
            << "the stream differs after " << played << " samples";
        EXPECT_TRUE(
            std::all_of(from + static_cast<std::ptrdiff_t>(played), got.end(), [](int16_t s) { return s == 0; }))
            << "something else followed the stream after " << played << " samples: "
            << std::count_if(from + static_cast<std::ptrdiff_t>(played), got.end(), [](int16_t s) { return s != 0; })
            << " of " << (got.end() - from) - static_cast<std::ptrdiff_t>(played) << " are not silent";
    }
}

constexpr const char* kFade = "play --type white --surf-strength 0 --volume 461 --duration 00:00:04 --fade-out 1";
constexpr const char* kTone =
    "play --type tinnitus --tinnitus-freq 1000 --surf-strength 0 --volume 461 --duration 00:00:03";

INSTANTIATE_TEST_SUITE_P(Rows, SoundServerE2eTest,
                         testing::Values(Delivery{"PulseAudio fade-out heard to its end", false, kFade, White, 4, 1},
                                         Delivery{"PipeWire fade-out heard to its end", true, kFade, White, 4, 1},
                                         Delivery{"PulseAudio tone sample-exact", false, kTone, TinnitusFinder, 3, 0},
                                         Delivery{"PipeWire tone sample-exact", true, kTone, TinnitusFinder, 3, 0}),
                         RowName());

} // namespace
