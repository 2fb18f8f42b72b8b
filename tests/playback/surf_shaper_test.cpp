// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/surf_shaper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "synth/rounding.h"
#include "testing/alloc_counter.h"

namespace
{

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
};

// The loop as the design states it, sample for sample, in its evaluation order.
TEST(SurfShaper, MatchesTheReferenceLoopBitForBitWithoutAllocating)
{
    for (const double p : {8.0, 0.37, 20.0, 2.5})
    {
        for (const double s : {0.0, 30.0, 100.0})
        {
            // At P = 8 the counter passes 352800 and wraps in the first samples.
            uint32_t c = p == 8.0 ? 352795 : 88000;
            Buffers b(2, s, p, c);
            CAllocScope scope;
            b.shaper.FillHalf(0);
            b.shaper.FillHalf(1);
            EXPECT_EQ(scope.Allocations(), 0u);

            const double d = std::exp(2.0) - 1.0;
            for (int i = 0; i < kPeriod; ++i)
            {
                const double angle = (static_cast<double>(c) / p) * 0.00014247585730565955;
                const double q = 2.0 - ((std::cos(angle) + 1.0) * s) * 0.01;
                const double v = ((std::exp(q) - 1.0) * b.source[i]) / d;
                ASSERT_EQ(b.samples[i], static_cast<int16_t>(RoundHalfAway(v)))
                    << "P " << p << " S " << s << " i " << i;
                c = static_cast<double>(c) < 44100.0 * p ? c + 1 : 0;
            }
            EXPECT_EQ(b.shaper.m_surfCounter.load(), c);
        }
    }
    Buffers forty(1, 40.0, 8.0);
    forty.source[0] = 10000;
    forty.shaper.FillHalf(0);
    EXPECT_EQ(forty.samples[0], 3631);
}

TEST(SurfShaper, ToneHalfOneTouchesOnlyItsOwnSamplesAndZeroPeriodIsSilence)
{
    Buffers b(3, 0.0, 8.0);
    b.shaper.FillHalf(1);
    for (int i = 0; i < kPeriod; ++i)
        ASSERT_EQ(b.samples[i], i >= 22050 && i < 44100 ? b.source[i] : 7777) << "sample " << i;
    EXPECT_EQ(b.shaper.m_surfCounter.load(), 22050u);

    Buffers silent(2, 30.0, 0.0, 1234);
    silent.shaper.FillHalf(1);
    EXPECT_EQ(std::vector<int16_t>(silent.samples.begin() + 131072, silent.samples.end()),
              std::vector<int16_t>(131072, 0));
    EXPECT_EQ(silent.shaper.m_surfCounter.load(), 0u) << "the surf phase waits at its start";
}

TEST(SurfShaper, ASubnormalPeriodSilencesTheSamplesWhoseAngleOverflows)
{
    // c / P is infinite for every c > 0; the counter goes back to 0 after
    // each sample, whose angle 0 has a gain.
    Buffers tiny(2, 30.0, 1e-310, 1234);
    tiny.shaper.FillHalf(0);
    const double d = std::exp(2.0) - 1.0;
    for (int i = 0; i < 131072; ++i)
    {
        const int16_t expected =
            i % 2 == 0 ? 0 : static_cast<int16_t>(RoundHalfAway(((std::exp(2.0 - 0.6) - 1.0) * tiny.source[i]) / d));
        ASSERT_EQ(tiny.samples[i], expected) << "sample " << i;
    }
}

} // namespace
