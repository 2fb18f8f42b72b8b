#include "playback/surf_shaper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "common/alloc_counter.h"
#include "synth/rounding.h"

namespace {

constexpr int kPeriod = 262144;

struct Buffers
{
    std::vector<int16_t> source = std::vector<int16_t>(kPeriod);
    std::vector<int16_t> samples = std::vector<int16_t>(kPeriod, 7777);

    Buffers()
    {
        std::mt19937 random(42);
        std::uniform_int_distribution<int> value(-10000, 10000);
        for (int16_t& s : source)
            s = static_cast<int16_t>(value(random));
    }
};

// Shapes both halves as Play does: counter reset, half 0, then half 1.
void Play(CSurfShaper& shaper, int type, double s, double p)
{
    shaper.m_playedType = type;
    shaper.m_surfStrength = s;
    shaper.m_surfPeriod = p;
    shaper.m_surfCounter = 0;
    shaper.FillHalf(0);
    shaper.FillHalf(1);
}

}  // namespace

TEST(SurfShaperTest, NoStrengthReplaysTheSourceExactly)
{
    Buffers b;
    CSurfShaper shaper(b.source.data(), b.samples.data());
    Play(shaper, 2, 0.0, 8.0);
    EXPECT_EQ(b.samples, b.source);
    EXPECT_EQ(shaper.m_surfCounter.load(), 262144u);
}

TEST(SurfShaperTest, FullStrengthSilencesTheTroughAndPassesTheCrest)
{
    Buffers b;
    CSurfShaper shaper(b.source.data(), b.samples.data());
    Play(shaper, 0, 100.0, 8.0);
    EXPECT_EQ(b.samples[0], 0);
    EXPECT_EQ(b.samples[176400], b.source[176400]);
}

TEST(SurfShaperTest, FortyPercentKeepsAboutAThirdAtTheTrough)
{
    Buffers b;
    b.source[0] = 10000;
    CSurfShaper shaper(b.source.data(), b.samples.data());
    Play(shaper, 1, 40.0, 8.0);
    EXPECT_EQ(b.samples[0], 3631);
}

TEST(SurfShaperTest, CounterWrapsAfterOneSamplePastThePeriod)
{
    Buffers b;
    CSurfShaper shaper(b.source.data(), b.samples.data());
    shaper.m_playedType = 2;
    shaper.m_surfStrength = 30.0;
    shaper.m_surfPeriod = 8.0;
    shaper.m_surfCounter = 352800 - 5;
    shaper.FillHalf(0);
    // 352795 .. 352800 take six samples, then 0 .. 131065.
    EXPECT_EQ(shaper.m_surfCounter.load(), 131072u - 6u);
    // Sample 6 is again at the trough of the swell.
    EXPECT_EQ(b.samples[6], RoundHalfAway(((std::exp(2.0 - 0.6) - 1.0) * b.source[6]) / (std::exp(2.0) - 1.0)));
}

TEST(SurfShaperTest, ToneHalfOneTouchesOnlyItsOwnSamples)
{
    Buffers b;
    CSurfShaper shaper(b.source.data(), b.samples.data());
    shaper.m_playedType = 3;
    shaper.m_surfStrength = 0.0;
    shaper.FillHalf(1);
    for (int i = 0; i < kPeriod; ++i) {
        const bool inHalf = i >= 22050 && i < 44100;
        ASSERT_EQ(b.samples[i], inHalf ? b.source[i] : 7777) << "sample " << i;
    }
    EXPECT_EQ(shaper.m_surfCounter.load(), 22050u);
}

TEST(SurfShaperTest, ZeroPeriodIsSilenceAndHoldsTheCounter)
{
    Buffers b;
    CSurfShaper shaper(b.source.data(), b.samples.data());
    shaper.m_playedType = 2;
    shaper.m_surfStrength = 30.0;
    shaper.m_surfPeriod = 0.0;
    shaper.m_surfCounter = 1234;
    shaper.FillHalf(1);
    for (int i = 131072; i < kPeriod; ++i)
        ASSERT_EQ(b.samples[i], 0);
    EXPECT_EQ(shaper.m_surfCounter.load(), 0u);
}

// The loop as the design states it, sample for sample, in its evaluation order.
TEST(SurfShaperTest, MatchesTheReferenceLoopBitForBit)
{
    for (const double p : {8.0, 0.37, 20.0, 2.5}) {
        for (const double s : {12.5, 30.0, 100.0}) {
            Buffers b;
            CSurfShaper shaper(b.source.data(), b.samples.data());
            const uint32_t counterStart = 88000;
            shaper.m_surfCounter = counterStart;
            shaper.m_playedType = 2;
            shaper.m_surfStrength = s;
            shaper.m_surfPeriod = p;
            size_t allocations;
            {
                CAllocScope scope;
                shaper.FillHalf(0);
                shaper.FillHalf(1);
                allocations = scope.Allocations();
            }
            EXPECT_EQ(allocations, 0u);

            const double d = std::exp(2.0) - 1.0;
            uint32_t c = counterStart;
            for (int i = 0; i < kPeriod; ++i) {
                const double angle = (static_cast<double>(c) / p) * 0.00014247585730565955;
                const double q = 2.0 - ((std::cos(angle) + 1.0) * s) * 0.01;
                const double v = ((std::exp(q) - 1.0) * b.source[i]) / d;
                ASSERT_EQ(b.samples[i], static_cast<int16_t>(RoundHalfAway(v)))
                    << "P " << p << " S " << s << " sample " << i;
                c = static_cast<double>(c) < 44100.0 * p ? c + 1 : 0;
            }
            EXPECT_EQ(shaper.m_surfCounter.load(), c);
        }
    }
}
