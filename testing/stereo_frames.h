// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

// One channel (0 left, 1 right) of interleaved two-channel samples.
inline std::vector<int16_t> ChannelOf(const std::vector<int16_t>& frames, int channel)
{
    std::vector<int16_t> out(frames.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = frames[2 * i + static_cast<std::size_t>(channel)];
    return out;
}

// Pearson's correlation of two equally long signals.
inline double Correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < n; ++i)
    {
        ma += a[i];
        mb += b[i];
    }
    ma /= static_cast<double>(n);
    mb /= static_cast<double>(n);
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < n; ++i)
    {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(aa * bb);
}
