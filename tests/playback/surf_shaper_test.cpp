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
    CSurfShaper shaper{source.data(), samples.data()};

    Buffers(int type, double s, double p, uint32_t counter = 0)
    {
        std::mt19937 random(42);
        std::uniform_int_distribution<int> value(-10000, 10000);
        for (int16_t& x : source)
            x = static_cast<int16_t>(value(random));
        shaper.m_playedType = type;
        shaper.m_surfStrength = s;
        shaper.m_surfPeriod = p;
        shaper.m_surfCounter = counter;
    }
    // Both halves, as Play fills them.
    void FillBoth()
    {
        shaper.FillHalf(0);
        shaper.FillHalf(1);
    }
};

}  // namespace

TEST(SurfShaperTest, SwellDepthFollowsTheStrength)
{
    Buffers none(2, 0.0, 8.0);
    none.FillBoth();
    EXPECT_EQ(none.samples, none.source);
    EXPECT_EQ(none.shaper.m_surfCounter.load(), 262144u);

    Buffers full(0, 100.0, 8.0);
    full.FillBoth();
    EXPECT_EQ(full.samples[0], 0);                           // trough: g = 0
    EXPECT_EQ(full.samples[176400], full.source[176400]);    // crest: g = 1

    Buffers forty(1, 40.0, 8.0);
    forty.source[0] = 10000;
    forty.FillBoth();
    EXPECT_EQ(forty.samples[0], 3631);
}

TEST(SurfShaperTest, CounterWrapsOneSamplePastThePeriod)
{
    Buffers b(2, 30.0, 8.0, 352800 - 5);
    b.shaper.FillHalf(0);
    // 352795 .. 352800 take six samples, then 0 .. 131065.
    EXPECT_EQ(b.shaper.m_surfCounter.load(), 131072u - 6u);
    const double trough = (std::exp(2.0 - 0.6) - 1.0) / (std::exp(2.0) - 1.0);
    EXPECT_EQ(b.samples[6], RoundHalfAway(trough * b.source[6]));
}

TEST(SurfShaperTest, ToneHalfOneTouchesOnlyItsOwnSamples)
{
    Buffers b(3, 0.0, 8.0);
    b.shaper.FillHalf(1);
    for (int i = 0; i < kPeriod; ++i)
        ASSERT_EQ(b.samples[i], i >= 22050 && i < 44100 ? b.source[i] : 7777) << "sample " << i;
    EXPECT_EQ(b.shaper.m_surfCounter.load(), 22050u);
}

TEST(SurfShaperTest, ZeroPeriodIsSilenceAndHoldsTheCounter)
{
    Buffers b(2, 30.0, 0.0, 1234);
    b.shaper.FillHalf(1);
    for (int i = 131072; i < kPeriod; ++i)
        ASSERT_EQ(b.samples[i], 0);
    EXPECT_EQ(b.shaper.m_surfCounter.load(), 0u);
}

// The loop as the design states it, sample for sample, in its evaluation order.
TEST(SurfShaperTest, MatchesTheReferenceLoopBitForBitWithoutAllocating)
{
    for (const double p : {8.0, 0.37, 20.0, 2.5}) {
        for (const double s : {12.5, 30.0, 100.0}) {
            Buffers b(2, s, p, 88000);
            CAllocScope scope;
            b.FillBoth();
            EXPECT_EQ(scope.Allocations(), 0u);

            const double d = std::exp(2.0) - 1.0;
            uint32_t c = 88000;
            for (int i = 0; i < kPeriod; ++i) {
                const double angle = (static_cast<double>(c) / p) * 0.00014247585730565955;
                const double q = 2.0 - ((std::cos(angle) + 1.0) * s) * 0.01;
                const double v = ((std::exp(q) - 1.0) * b.source[i]) / d;
                ASSERT_EQ(b.samples[i], static_cast<int16_t>(RoundHalfAway(v)))
                    << "P " << p << " S " << s << " sample " << i;
                c = static_cast<double>(c) < 44100.0 * p ? c + 1 : 0;
            }
            EXPECT_EQ(b.shaper.m_surfCounter.load(), c);
        }
    }
}
