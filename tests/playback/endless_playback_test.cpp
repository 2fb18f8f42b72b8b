// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/playback_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "testing/file_compare.h"
#include "testing/alloc_counter.h"
#include "testing/engine_doubles.h"
#include "testing/fake_wave_out.h"
#include "testing/param_name.h"
#include "testing/sound_level.h"
#include "synth/ear_gain.h"
#include "synth/endless_noise.h"
#include "synth/noise_type.h"

namespace
{

constexpr int kN = CPlaybackEngine::kPeriodSamples;
constexpr int kHalf = kN / 2;
constexpr uint64_t kSeed = 2024;

struct EndlessRig
{
    EndlessRig()
    {
        fake.SetDevices({{"Speakers", true}});
        controls.m_params.noiseType = Pink;
        controls.m_params.lowerLimit = 100.0;
        controls.m_params.surfStrength = 0.0; // the samples are the periods themselves
        controls.m_params.endless = true;
        controls.m_params.seed = kSeed;
        engine.InitDevices();
    }

    // The half the device was just handed, as it will play it.
    void TakeHalf(int half)
    {
        const int16_t* data = engine.PlayBuffer() + half * kHalf;
        played.insert(played.end(), data, data + kHalf);
    }

    // Lets the device finish the oldest half; the engine refills it.
    void PlayHalf()
    {
        // The producer has a whole period's time; the test waits for it
        // rather than race a loaded machine.
        for (int i = 0; i < 2000 && engine.EndlessFeed() != nullptr && !engine.EndlessFeed()->NextReady(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(fake.CompleteNext());
        TakeHalf(nextHalf);
        nextHalf = 1 - nextHalf;
    }

    // The periods the endless sequence makes for the seed, end to end.
    static std::vector<int16_t> Expected(int periods)
    {
        CEndlessNoise noise;
        noise.Start(Pink, 100.0, 20000.0, kSeed);
        std::vector<int16_t> out(static_cast<size_t>(periods) * kN);
        for (int k = 0; k < periods; ++k)
            noise.Next(out.data() + static_cast<size_t>(k) * kN);
        return out;
    }

    CFakeWaveOut fake;
    CTestGenerator generator;
    CTestControls controls;
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine{fake, generator, controls, status, messages};
    std::vector<int16_t> played;
    int nextHalf = 0; // the device hands the halves back in turn
};

int LongestZeroRun(const std::vector<int16_t>& samples)
{
    int longest = 0;
    int run = 0;
    for (int16_t v : samples)
    {
        run = v == 0 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// At a join the period before fades out (cos) and the new one fades in
// (sin) over X samples, each weight taken at the middle of its sample.
struct JoinRow
{
    const char* name;
    double fresh;    // every sample of the new raw period
    double previous; // every sample of the head of the one before
    int at;
    double weight; // of full scale, from the quarter-turn law
};

class EndlessJoin : public ::testing::TestWithParam<JoinRow>
{};

constexpr int kX = CEndlessSpectrum::kCrossfadeSamples;

TEST_P(EndlessJoin, TheWeightsAtTheJoinFollowTheQuarterTurn)
{
    const JoinRow& row = GetParam();
    CEndlessSpectrum spectrum;
    spectrum.SetScale(30000.0);
    const std::vector<double> raw(kN, row.fresh), head(kX, row.previous);
    std::vector<int16_t> out(kN);
    FormEndlessPeriod(spectrum, raw.data(), head.data(), out.data());
    EXPECT_EQ(out[static_cast<size_t>(row.at)], static_cast<int16_t>(std::trunc(30000.0 * row.weight)));
}

const double kQuarter = std::acos(0.0);

INSTANTIATE_TEST_SUITE_P(
    Points, EndlessJoin,
    ::testing::Values(JoinRow{"new period starts near silence", 1, 0, 0, std::sin(kQuarter * 0.5 / kX)},
                      JoinRow{"old period starts near full", 0, 1, 0, std::cos(kQuarter * 0.5 / kX)},
                      JoinRow{"new period at a quarter", 1, 0, kX / 4, std::sin(kQuarter*(kX / 4 + 0.5) / kX)},
                      JoinRow{"old period at a quarter", 0, 1, kX / 4, std::cos(kQuarter*(kX / 4 + 0.5) / kX)},
                      JoinRow{"new period ends near full", 1, 0, kX - 1, std::sin(kQuarter*(kX - 0.5) / kX)},
                      JoinRow{"old period ends near silence", 0, 1, kX - 1, std::cos(kQuarter*(kX - 0.5) / kX)},
                      JoinRow{"after the join the new period alone", 1, 1, kX, 1.0}),
    RowName());

} // namespace

TEST(EndlessPlayback, PeriodsFollowEachOtherWithoutGapOrRepeatAndRefillsDoNotAllocate)
{
    EndlessRig rig;
    rig.engine.OnPlay();
    ASSERT_TRUE(rig.engine.IsPlaying());
    rig.TakeHalf(0);
    rig.TakeHalf(1);
    rig.played.clear();
    rig.played.reserve(3 * kN);
    {
        // The device holds period 0; these refills bring periods 1, 2 and 3.
        CAllocScope scope;
        for (int i = 0; i < 6; ++i)
            rig.PlayHalf();
        EXPECT_EQ(scope.Allocations(), 0u);
    }
    EXPECT_EQ(rig.engine.EndlessFeed()->Misses(), 0u);

    const std::vector<int16_t> expected = EndlessRig::Expected(4);
    ASSERT_EQ(rig.played.size(), 3u * kN);
    EXPECT_TRUE(std::equal(rig.played.begin(), rig.played.end(), expected.begin() + kN)) << "periods 1..3 in order";
    EXPECT_LE(LongestZeroRun(rig.played), 8);
    EXPECT_FALSE(std::equal(expected.begin(), expected.begin() + kN, expected.begin() + kN)) << "no repeat";
}

TEST(EndlessPlayback, PlayAfterStopStartsTheSeedOver)
{
    EndlessRig rig;
    rig.engine.OnPlay();
    rig.PlayHalf();
    rig.PlayHalf();
    rig.engine.OnStop();
    EXPECT_FALSE(rig.engine.IsPlaying());

    rig.engine.OnPlay();
    ASSERT_TRUE(rig.engine.IsPlaying());
    const std::vector<int16_t> expected = EndlessRig::Expected(1);
    EXPECT_TRUE(SameBytes(rig.engine.PlayBuffer(), expected.data(), 2 * kN)) << "period 0 again";
}

// In stereo each ear draws its own endless noise (the right one from its own
// seed, at the left one's level) in its own hearing shape.
TEST(EndlessPlayback, InStereoEachEarPlaysItsOwnSeedInItsOwnShape)
{
    CFakeWaveOut fake;
    fake.SetDevices({{"Speakers", true}});
    fake.KeepTape();
    CTestGenerator left, right;
    CTestControls controls;
    controls.m_params.noiseType = Pink;
    controls.m_params.lowerLimit = 100.0;
    controls.m_params.endless = true;
    controls.m_params.seed = kSeed;
    controls.m_params.stereo.on = true;
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine(fake, left, controls, status, messages, &right);
    SpectrumTilt rightShape;
    rightShape.count = 2;
    rightShape.hz = {500.0, 4000.0};
    rightShape.db = {-10.0, 10.0};
    engine.SetEndlessTilts(SpectrumTilt{}, rightShape);
    engine.InitDevices();
    engine.OnPlay();
    const std::vector<int16_t> tape = fake.Tape();
    ASSERT_EQ(tape.size(), 2u * kN);

    std::vector<int16_t> expected[2] = {std::vector<int16_t>(kN), std::vector<int16_t>(kN)};
    CEndlessNoise noise;
    noise.Start(Pink, 100.0, 20000.0, kSeed);
    noise.Next(expected[0].data());
    noise.SetTilt(rightShape);
    noise.Start(Pink, 100.0, 20000.0, RightEarSeed(kSeed), {}, kSeed);
    noise.Next(expected[1].data());
    // The ears play equally loud: each one's own peak would set them apart.
    EXPECT_NEAR(RmsDb(expected[0]), RmsDb(expected[1]), 0.05);
    for (int i = 0; i < kN; ++i)
    {
        ASSERT_EQ(tape[2 * i], expected[0][i]) << i;
        ASSERT_EQ(tape[2 * i + 1], expected[1][i]) << i;
    }
}
