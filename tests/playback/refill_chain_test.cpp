// SPDX-License-Identifier: GPL-3.0-or-later
// The refill chain without a device: the stream it makes, read by position.
#include "playback/refill_chain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "synth/endless_noise.h"
#include "testing/engine_doubles.h"
#include "testing/fake_wave_out.h"
#include "testing/param_name.h"

namespace
{

constexpr int kHalf = 131072;
constexpr int kLevel = 20000;

// A period of one level throughout, so that the gain alone shows.
class CLevelGenerator : public ISignalGenerator
{
public:
    bool Ready() const override { return true; }
    void Synthesize(int, double, double, const NotchBand&) override {}
    void SynthesizeTone(double) override {}
    const int16_t* Source() const override { return m_source.data(); }
    std::vector<int16_t> m_source = std::vector<int16_t>(262144, kLevel);
};

// The stream from the start of a run: the two halves Start made, then one
// refill after the other, `samples` long (or up to the end).
std::vector<int16_t> StreamOf(CRefillChain& chain, const PlayParameters& params, size_t samples)
{
    chain.Start(params);
    std::vector<int16_t> out;
    const auto lock = chain.Lock();
    const int length = CSurfShaper::HalfLength(params.noiseType);
    for (int h = 0; out.size() < samples; h = 1 - h)
    {
        if (out.size() >= 2u * length)
            chain.FillHalf(h);
        const int16_t* half = chain.Buffer() + h * length;
        out.insert(out.end(), half, half + chain.Kept(h));
        if (chain.Kept(h) < length)
            break;
    }
    out.resize(std::min(out.size(), samples));
    return out;
}

// Level in dB of a gain on the fade's line: from 0 at its start down to -72
// at its end, evenly.
double LineGain(double fraction)
{
    return std::pow(10.0, -72.0 * fraction / 20.0);
}

struct FadePoint
{
    const char* name;
    int64_t fadeIn;
    int64_t end; // -1: none
    int64_t fadeOut;
    int64_t position;
    double gain; // expected, from the line
};

class RefillChainFade : public ::testing::TestWithParam<FadePoint>
{};

// Three halves: a fade longer than one half must follow one line across the
// joins of the halves, not start again at each.
constexpr int64_t kLong = 3 * kHalf;
constexpr int64_t kEnd = 5 * kHalf;

TEST_P(RefillChainFade, LevelAtAFixedPointLiesOnTheDecibelLine)
{
    const FadePoint& p = GetParam();
    CLevelGenerator generator;
    CRefillChain chain(generator);
    PlayParameters params;
    params.fadeInSamples = p.fadeIn;
    params.endSample = p.end;
    params.fadeOutSamples = p.fadeOut;
    const std::vector<int16_t> stream = StreamOf(chain, params, 6 * kHalf);
    ASSERT_GT(stream.size(), static_cast<size_t>(p.position));
    EXPECT_EQ(stream[static_cast<size_t>(p.position)], static_cast<int16_t>(std::round(kLevel * p.gain)));
}

INSTANTIATE_TEST_SUITE_P(
    Points, RefillChainFade,
    ::testing::Values(
        FadePoint{"RiseStartsAtSilence", kLong, -1, 0, 0, 0.0},
        FadePoint{"RiseAtTheEndOfItsFirstHalf", kLong, -1, 0, kHalf - 1, LineGain(1.0 - (kHalf - 1.0) / kLong)},
        FadePoint{"RiseGoesOnInItsSecondHalf", kLong, -1, 0, kHalf, LineGain(1.0 - 1.0 / 3.0)},
        FadePoint{"RiseMiddleIsMinus36dB", kLong, -1, 0, kLong / 2, LineGain(0.5)},
        FadePoint{"RiseInItsThirdHalf", kLong, -1, 0, 2 * kHalf + 7, LineGain(1.0 - (2.0 * kHalf + 7) / kLong)},
        FadePoint{"RiseEndsAtFullLevel", kLong, -1, 0, kLong, 1.0},
        FadePoint{"FallStartsAtFullLevel", 0, kEnd, kLong, kEnd - kLong, 1.0},
        FadePoint{"FallGoesOnInItsSecondHalf", 0, kEnd, kLong, kEnd - kLong + kHalf, LineGain(1.0 / 3.0)},
        FadePoint{"FallMiddleIsMinus36dB", 0, kEnd, kLong, kEnd - kLong / 2, LineGain(0.5)},
        FadePoint{"FallReachesTheMinus72dBFloor", 0, kEnd, kLong, kEnd - 1, LineGain(1.0 - 1.0 / kLong)},
        FadePoint{"NoFadeLeavesTheLevel", 0, -1, 0, 4 * kHalf + 3, 1.0}),
    RowName());

TEST(RefillChain, TheStreamEndsAtItsEndSampleAndNothingFollows)
{
    CLevelGenerator generator;
    CRefillChain chain(generator);
    PlayParameters params;
    params.endSample = kEnd - 5;
    params.fadeOutSamples = kLong;
    const std::vector<int16_t> stream = StreamOf(chain, params, 8 * kHalf);
    EXPECT_EQ(stream.size(), static_cast<size_t>(kEnd - 5));
    const auto lock = chain.Lock();
    EXPECT_TRUE(chain.StreamEnded());
    EXPECT_EQ(chain.FillHalf(0), 0);
}

// A second run plays nothing made for the first: not its glide, not its
// endless periods.
TEST(RefillChain, ASecondRunStartsCleanAfterAGlide)
{
    CTestGenerator generator;
    generator.Synthesize(0, 20, 20000, {});
    CRefillChain chain(generator);
    PlayParameters params;
    StreamOf(chain, params, 3 * kHalf);
    chain.HoldOldSound();
    generator.Synthesize(0, 20, 20000, {});
    {
        const auto lock = chain.Lock();
        chain.GlideFrom(chain.Position(), 0);
    }
    const std::vector<int16_t> stream = StreamOf(chain, params, 4 * kHalf);
    const std::vector<int16_t> expected = ShapedStream(generator.Source(), 0, 4 * kHalf);
    EXPECT_EQ(stream, expected);
}

TEST(RefillChain, ASecondEndlessRunPlaysItsOwnPeriodsFromItsFirst)
{
    CTestGenerator generator;
    CRefillChain chain(generator);
    PlayParameters params;
    params.noiseType = 2;
    params.endless = true;
    params.seed = 11;
    const auto runOf = [&](uint64_t seed) {
        params.seed = seed;
        chain.Start(params);
        std::vector<int16_t> out(chain.Buffer(), chain.Buffer() + 2 * kHalf);
        for (int period = 1; period < 3; ++period)
        {
            while (!chain.EndlessFeed()->NextReady())
                std::this_thread::yield();
            const auto lock = chain.Lock();
            for (int h = 0; h < 2; ++h)
            {
                chain.FillHalf(h);
                out.insert(out.end(), chain.Buffer() + h * kHalf, chain.Buffer() + (h + 1) * kHalf);
            }
        }
        return out;
    };
    runOf(11);
    // Started while the producer may be making period 3 of the first run.
    const std::vector<int16_t> second = runOf(12);

    CEndlessNoise reference;
    reference.Start(2, params.lowerLimit, params.upperLimit, 12);
    std::vector<int16_t> expected(3 * 262144);
    for (int period = 0; period < 3; ++period)
        reference.Next(expected.data() + period * 262144);
    ASSERT_EQ(second.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(second[i], expected[i]) << i;
}

} // namespace
