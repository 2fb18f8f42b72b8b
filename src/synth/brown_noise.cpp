// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/brown_noise.h"

#include <cmath>
#include <cstdint>

#include "synth/rounding.h"

namespace
{

constexpr int kN = 262144;
constexpr double kSampleRate = 44100.0;
constexpr double kPeak = 10000.0;
const double kBinWidth = 22050.0 / (kN * 0.5 - 1.0); // the synthesizer's mapping
const double kBinHz = kSampleRate / kN;              // where a bin sounds

int BinOf(double frequency)
{
    const int32_t rounded = RoundHalfAway(frequency / kBinWidth);
    return rounded == INT32_MIN ? INT32_MIN : rounded - 1;
}

// Expected largest |x| over one period, in RMS units, of Gaussian noise whose
// RMS frequency is f: sqrt(2 ln n) + gamma / sqrt(2 ln n) for the n = 2 f T
// crossings of either sign (Gumbel's limit of the largest of n draws).
double ExpectedCrest(double rmsFrequency)
{
    const double crossings = std::max(2.0 * rmsFrequency * (kN / kSampleRate), std::exp(1.0));
    const double a = std::sqrt(2.0 * std::log(crossings));
    return a + 0.5772156649 / a;
}

// Pink sets unit bins along its geometric walk; a bin visited twice counts once.
double PinkRmsFrequency(double lower, double upper)
{
    double sum = 0.0;
    double count = 0.0;
    int last = -1;
    double f = std::max(lower, 0.5 * kBinWidth);
    do
    {
        const int k = BinOf(f);
        if (k != last && k >= 0 && k <= kN / 2)
        {
            sum += (k * kBinHz) * (k * kBinHz);
            count += 1.0;
            last = k;
        }
        f *= 1.001;
    } while (f <= upper && std::isfinite(f));
    return count > 0.0 ? std::sqrt(sum / count) : 0.0;
}

// Power 1/k^2 on every bin: sum(f^2 P) / sum(P) = bins * binHz^2 / sum(1/k^2).
double BrownRmsFrequency(double lower, double upper)
{
    const int first = std::max(BinOf(lower), 0);
    const int last = std::min(BinOf(upper), kN / 2);
    double power = 0.0;
    for (int k = first; k <= last; ++k)
        power += BrownMagnitude(k) * BrownMagnitude(k);
    const int sounding = last - std::max(first, 1) + 1; // bin 0 sounds at 0 Hz
    return power > 0.0 && sounding > 0 ? kBinHz * std::sqrt(sounding / power) : 0.0;
}

} // namespace

double BrownPeak(double lower, double upper)
{
    if (!(lower <= upper))
        return kPeak;
    const double ratio = ExpectedCrest(BrownRmsFrequency(lower, upper)) / ExpectedCrest(PinkRmsFrequency(lower, upper));
    return kPeak * std::min(ratio, 1.0);
}
