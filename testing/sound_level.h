// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The samples of a 16-bit mono wave file's bytes, after the 44-byte header.
inline std::vector<double> WaveSamples(const std::string& bytes)
{
    std::vector<double> samples((bytes.size() - 44) / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
    {
        int16_t v;
        std::memcpy(&v, bytes.data() + 44 + 2 * i, 2);
        samples[i] = v;
    }
    return samples;
}

// The samples of one channel (0 left, 1 right) of a 16-bit two-channel wave
// file's bytes, after the 44-byte header.
inline std::vector<double> WaveChannel(const std::string& bytes, int channel)
{
    std::vector<double> samples((bytes.size() - 44) / 4);
    for (std::size_t i = 0; i < samples.size(); ++i)
    {
        int16_t v;
        std::memcpy(&v, bytes.data() + 44 + 4 * i + 2 * channel, 2);
        samples[i] = v;
    }
    return samples;
}

// The largest magnitude among the samples.
template <class Samples>
int Peak(const Samples& samples)
{
    int peak = 0;
    for (const auto v : samples)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

// The mean power of the samples in dB (full scale at 90.3 dB).
template <class Samples>
double RmsDb(const Samples& samples)
{
    double sum = 0.0;
    for (const auto v : samples)
        sum += static_cast<double>(v) * v;
    return 10.0 * std::log10(sum / static_cast<double>(std::size(samples)));
}
