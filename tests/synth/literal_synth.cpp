// SPDX-License-Identifier: GPL-3.0-or-later
#include "literal_synth.h"

#include <cmath>
#include <utility>

#include "synth/rounding.h"

namespace
{

constexpr int kN = 262144;

int Bin(double f)
{
    return RoundHalfAway(f / (22050.0 / (kN * 0.5 - 1))) - 1;
}

void Draw(CPhaseGenerator& phases, double* x, int k)
{
    const double phase = phases.Next() * (2.0 * M_PI / 32767.0);
    x[2 * k] = std::cos(phase);
    x[2 * k + 1] = std::sin(phase);
}

} // namespace

void LiteralSpectrum(int type, double lower, double upper, CPhaseGenerator& phases, double* x)
{
    if (type == 1)
    {
        const int low = Bin(lower);
        const int high = Bin(upper);
        for (int i = 0; i <= kN / 2; ++i)
        {
            if (low <= i && i <= high)
                Draw(phases, x, i);
            else
                x[2 * i] = x[2 * i + 1] = 0.0;
        }
        return;
    }
    for (int i = 0; i <= kN; ++i)
        x[i] = 0.0;
    if (lower > upper)
        return;
    double f = lower;
    do
    {
        Draw(phases, x, Bin(f));
        if (type == 0)
            f = f + 0.1 * std::exp(0.096 + 0.022 * std::sqrt(f));
        else
            f = f * 1.001;
    } while (f <= upper);
}

void LiteralTransform(double* x, int16_t* out)
{
    x[kN] *= 2.0;
    x[kN + 1] = 0.0;
    for (int j = kN / 2 + 1; j < kN; ++j)
    {
        x[2 * j] = x[2 * (kN - j)];
        x[2 * j + 1] = -x[2 * (kN - j) + 1];
    }

    int b = 0;
    for (int a = 0; a < kN; ++a)
    {
        if (b > a)
        {
            std::swap(x[2 * a], x[2 * b]);
            std::swap(x[2 * a + 1], x[2 * b + 1]);
        }
        int m = kN / 2;
        while (m >= 1 && b >= m)
        {
            b -= m;
            m /= 2;
        }
        b += m;
    }

    for (int h = 1; h < kN; h *= 2)
    {
        const double theta = -M_PI / h;
        const double wpr = -2.0 * std::sin(theta / 2) * std::sin(theta / 2);
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int j = 0; j < h; ++j)
        {
            for (int g = 0; g < kN; g += 2 * h)
            {
                const int a = g + j;
                const int c = a + h;
                const double tr = wr * x[2 * c] - wi * x[2 * c + 1];
                const double ti = wr * x[2 * c + 1] + wi * x[2 * c];
                x[2 * c] = x[2 * a] - tr;
                x[2 * c + 1] = x[2 * a + 1] - ti;
                x[2 * a] = x[2 * a] + tr;
                x[2 * a + 1] = x[2 * a + 1] + ti;
            }
            const double oldWr = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + oldWr * wpi + wi;
        }
    }

    double peak = 0.0;
    for (int n = 0; n < kN; ++n)
        if (std::fabs(x[2 * n]) > peak)
            peak = std::fabs(x[2 * n]);
    const double s = peak == 0.0 ? 0.0 : 1.0 / peak;
    for (int n = 0; n < kN; ++n)
        out[n] = static_cast<int16_t>(static_cast<int32_t>((s * x[2 * n]) * 10000.0));
}
