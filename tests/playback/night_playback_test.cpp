// SPDX-License-Identifier: GPL-3.0-or-later
// A night in a minute: the real engine and the scripted device, run at full
// speed through eight hours of endless noise with the sleep timer's end at
// seven hours after a fade of thirty minutes.
#include "playback/playback_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "testing/alloc_counter.h"
#include "testing/engine_doubles.h"
#include "testing/fake_wave_out.h"

namespace
{

constexpr int64_t kRate = 44100;
constexpr int64_t kNight = 8 * 3600 * kRate;
constexpr int64_t kEnd = 7 * 3600 * kRate;
constexpr int64_t kFade = 30 * 60 * kRate;
constexpr int64_t kFadeStart = kEnd - kFade;
constexpr int kHalf = 131072;

// Mean square of the samples that fall in [begin, end) of the stream.
struct Window
{
    int64_t begin;
    int64_t end;
    double sum = 0;
    void Add(const int16_t* samples, int count, int64_t first)
    {
        for (int64_t p = std::max(first, begin); p < std::min(first + count, end); ++p)
            sum += static_cast<double>(samples[p - first]) * samples[p - first];
    }
    double Db() const { return 10.0 * std::log10(sum / static_cast<double>(end - begin)); }
};

uint64_t Hash(const int16_t* samples, int count)
{
    uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < count; ++i)
        h = (h ^ static_cast<uint16_t>(samples[i])) * 1099511628211ull;
    return h;
}

TEST(NightPlayback, EightHoursOfEndlessNoiseFadeAndEndOnTheSampleWithoutGapRepeatOrAllocation)
{
    CFakeWaveOut fake;
    fake.SetDevices({{"Speakers", true}});
    CTestGenerator generator;
    CTestControls controls;
    CStatusLog status;
    CMessageLog messages;
    controls.m_params.noiseType = 2;
    controls.m_params.endless = true;
    controls.m_params.seed = 2026;
    controls.m_params.endSample = kEnd;
    controls.m_params.fadeOutSamples = kFade;
    CPlaybackEngine engine(fake, generator, controls, status, messages);
    engine.InitDevices();
    engine.OnPlay();
    ASSERT_TRUE(engine.IsPlaying());

    Window before{kFadeStart - kRate, kFadeStart};
    Window middle{kFadeStart + kFade / 2 - kRate / 2, kFadeStart + kFade / 2 + kRate / 2};
    Window last{kEnd - kRate / 10, kEnd};
    std::vector<uint64_t> periods;
    periods.reserve(static_cast<size_t>(kNight / (2 * kHalf) + 2));
    int64_t position = 0;
    bool gap = false;
    CAllocScope scope;
    for (int h = 0; position < kNight && !engine.HasEnded(); h = 1 - h)
    {
        const int count = static_cast<int>(engine.Header(h).bufferLengthBytes / 2);
        const int16_t* samples = engine.PlayBuffer() + h * kHalf;
        if (count < kHalf && position + count != kEnd)
            gap = true;
        if (h == 0 && count > 0)
            periods.push_back(Hash(samples, 256));
        before.Add(samples, count, position);
        middle.Add(samples, count, position);
        last.Add(samples, count, position);
        position += count;
        // The device is faster than any night: the next period must be made
        // before the half that begins it is refilled.
        if (h == 0)
        {
            while (!engine.EndlessFeed()->NextReady() && position < kEnd)
                std::this_thread::yield();
        }
        if (!fake.CompleteNext())
            break;
    }
    EXPECT_EQ(scope.Allocations(), 0u) << "the refill path allocated";
    EXPECT_FALSE(gap);
    EXPECT_EQ(position, kEnd) << "the stream ends on the timer's sample";
    EXPECT_TRUE(engine.HasEnded());
    EXPECT_EQ(engine.EndlessFeed()->Misses(), 0u);

    std::vector<uint64_t> sorted = periods;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "a period came back";
    EXPECT_EQ(periods.size(), static_cast<size_t>((kEnd + 2 * kHalf - 1) / (2 * kHalf)));

    // The fade on its line: full level before it, -36 dB in its middle and
    // near the -72 dB floor at its end.
    EXPECT_NEAR(middle.Db() - before.Db(), -36.0, 0.5);
    EXPECT_LT(last.Db() - before.Db(), -60.0);

    EXPECT_TRUE(engine.OnCheckEnded());
    EXPECT_FALSE(engine.IsPlaying());
    EXPECT_EQ(engine.Status(), "nothing to do");
}

} // namespace
