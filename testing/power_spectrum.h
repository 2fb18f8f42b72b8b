// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <vector>

// Power per bin, summed over the whole segments of `segment` samples that
// fit into x[from, to).
inline std::vector<double> SegmentPower(const std::vector<double>& x, std::size_t from, std::size_t to, int segment)
{
    double* time = fftw_alloc_real(segment);
    fftw_complex* freq = fftw_alloc_complex(segment / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(segment, time, freq, FFTW_ESTIMATE);
    std::vector<double> power(segment / 2 + 1, 0.0);
    for (std::size_t start = from; start + segment <= to; start += segment)
    {
        std::copy_n(x.begin() + static_cast<long>(start), segment, time);
        fftw_execute(plan);
        for (int k = 0; k <= segment / 2; ++k)
            power[k] += freq[k][0] * freq[k][0] + freq[k][1] * freq[k][1];
    }
    fftw_destroy_plan(plan);
    fftw_free(time);
    fftw_free(freq);
    return power;
}

// Mean power in dB over bins first..last.
inline double MeanLevel(const std::vector<double>& power, int first, int last)
{
    double sum = 0.0;
    for (int k = first; k <= last; ++k)
        sum += power[k];
    return 10.0 * std::log10(sum / (last - first + 1) + 1e-30);
}
