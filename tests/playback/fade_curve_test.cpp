// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/fade_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "playback/gain_stage.h"
#include "testing/alloc_counter.h"

namespace
{

constexpr int64_t kRate = 44100;
constexpr int64_t kStretch = kRate / 20; // 50 ms

double Db(double gain)
{
    return 20.0 * std::log10(gain);
}

struct FadeLength
{
    std::string name;
    int64_t samples;
};

using FadeCurveTest = testing::TestWithParam<FadeLength>;

TEST_P(FadeCurveTest, RiseAndFallAreMonotonicBetweenExactSilenceAndUnity)
{
    const int64_t n = GetParam().samples;
    EXPECT_EQ(FadeCurve::FallGain(-1, n), 1.0);
    EXPECT_EQ(FadeCurve::FallGain(0, n), 1.0);
    EXPECT_GT(FadeCurve::FallGain(n - 1, n), 0.0);
    EXPECT_EQ(FadeCurve::FallGain(n, n), 0.0);
    EXPECT_EQ(FadeCurve::FallGain(n + 5, n), 0.0);
    EXPECT_EQ(FadeCurve::RiseGain(0, n), 0.0);
    EXPECT_EQ(FadeCurve::RiseGain(n, n), 1.0);
    EXPECT_EQ(FadeCurve::RiseGain(n + 1000, n), 1.0);
    for (int64_t i = 1; i <= n; ++i)
    {
        ASSERT_LE(FadeCurve::FallGain(i, n), FadeCurve::FallGain(i - 1, n)) << i;
        ASSERT_GE(FadeCurve::RiseGain(i, n), FadeCurve::RiseGain(i - 1, n)) << i;
    }
}

TEST_P(FadeCurveTest, FallStepsBetween50msStretchesStayUnder1dBDownTo60dB)
{
    const int64_t n = GetParam().samples;
    double previous = 0.0;
    double largest = 0.0;
    for (int64_t at = 0; at < n; at += kStretch)
    {
        const double level = Db(FadeCurve::FallGain(at, n));
        if (level < -60.0)
            break;
        largest = std::max(largest, previous - level);
        previous = level;
    }
    EXPECT_LE(largest, 1.0);
    // Evenly: every step the same size, to rounding.
    const double first = -Db(FadeCurve::FallGain(kStretch, n));
    const double later = Db(FadeCurve::FallGain(n / 2, n)) - Db(FadeCurve::FallGain(n / 2 + kStretch, n));
    EXPECT_NEAR(first, later, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Lengths, FadeCurveTest,
                         testing::Values(FadeLength{"EightSeconds", 8 * kRate}, FadeLength{"OneMinute", 60 * kRate},
                                         FadeLength{"TenMinutes", 600 * kRate}),
                         [](const testing::TestParamInfo<FadeLength>& info) { return info.param.name; });

TEST(GainStage, FadesTouchOnlyTheirStretchesByStreamIndexAndCutAtTheEnd)
{
    std::vector<int16_t> samples(1000, 10000);
    CGainStage gain;
    gain.SetFadeIn(100);
    gain.SetFadeOut(1900, 400); // falls over 1500..1899, the stream ends at 1900
    // The buffer holds the stream's samples 1000..1999.
    CAllocScope scope;
    EXPECT_EQ(gain.Apply(samples.data(), 1000, 1000), 900);
    EXPECT_EQ(scope.Allocations(), 0u);
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(samples[i], 10000) << i;
    for (int i = 500; i < 900; ++i)
        ASSERT_EQ(samples[i], FadeCurve::Scale(10000, FadeCurve::FallGain(i - 500, 400))) << i;
    EXPECT_LT(samples[899], 10);

    std::vector<int16_t> start(200, -10000);
    EXPECT_EQ(gain.Apply(start.data(), 200, 0), 200);
    EXPECT_EQ(start[0], 0);
    for (int i = 1; i < 100; ++i)
        ASSERT_EQ(start[i], FadeCurve::Scale(-10000, FadeCurve::RiseGain(i, 100))) << i;
    for (int i = 100; i < 200; ++i)
        ASSERT_EQ(start[i], -10000) << i;

    // A buffer wholly after the end keeps nothing.
    EXPECT_EQ(gain.Apply(start.data(), 200, 1900), 0);
}

} // namespace
