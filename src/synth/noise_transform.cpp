// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <utility>

#include "synth/noise_synth.h"
#include "synth/rounding.h"
#include "synth/simd_choice.h"

#if SUSURRA_USE_SSE2
#include <emmintrin.h>
#endif

// The inverse transform of the noise spectrum: x[n] = sum X[k] e^(-2pi i kn/N),
// radix 2, decimation in time, with each pass's twiddles from the classic
// trigonometric recurrence. Every sample must come out bit for bit as that
// textbook loop (pass by pass, j outer, groups inner) computes it, in double
// precision without fused multiply-adds. Speed therefore comes only from
// changes that keep each operation and its operands:
//   - the butterflies of one pass are independent pairs, so the order in
//     which they run is free; small passes run block by block while a block
//     sits in cache, and two passes share one trip through memory (four
//     streams: eight would alias in an eight-way cache at these strides);
//   - the twiddles are the recurrence's own values, made once and stored;
//   - one complex number is one SSE2 register; a - b is computed as
//     a + (-b), which is the same double. Elsewhere a pair of doubles does
//     the same operations one lane at a time.

namespace
{

constexpr int kN = CNoiseSynth::kPeriodSamples;
constexpr int kHalf = kN / 2;
constexpr int kLog2N = 18;
constexpr long kButterflyCount = static_cast<long>(kHalf) * kLog2N;
constexpr long kButterfliesPerPost = 500000;

#if SUSURRA_USE_SSE2
using Complex = __m128d;

inline Complex Load(const double* p)
{
    return _mm_loadu_pd(p);
}

inline void Store(double* p, Complex v)
{
    _mm_storeu_pd(p, v);
}

// a, b = a + w*b, a - w*b with w = (wr, wi) at twiddle:
// tr = wr*br - wi*bi and ti = wr*bi + wi*br, each product rounded, then the
// sum or difference rounded, as in the scalar butterfly.
inline void Butterfly(Complex& a, Complex& b, const double* twiddle)
{
    const __m128d w = Load(twiddle);
    const __m128d wrr = _mm_unpacklo_pd(w, w);
    const __m128d wii = _mm_unpackhi_pd(w, w);
    const __m128d negLow = _mm_set_pd(0.0, -0.0);
    const __m128d wni = _mm_xor_pd(wii, negLow);      // (-wi, wi)
    const __m128d bSwapped = _mm_shuffle_pd(b, b, 1); // (bi, br)
    const __m128d t = _mm_add_pd(_mm_mul_pd(wrr, b), _mm_mul_pd(wni, bSwapped));
    b = _mm_sub_pd(a, t);
    a = _mm_add_pd(a, t);
}
#else
struct Complex
{
    double re;
    double im;
};

inline Complex Load(const double* p)
{
    return {p[0], p[1]};
}

inline void Store(double* p, Complex v)
{
    p[0] = v.re;
    p[1] = v.im;
}

// The SSE2 butterfly lane by lane: the same products, (-wi)*bi added rather
// than wi*bi subtracted, and the same roundings.
inline void Butterfly(Complex& a, Complex& b, const double* twiddle)
{
    const double wr = twiddle[0];
    const double wi = twiddle[1];
    const double tr = wr * b.re + (-wi) * b.im;
    const double ti = wr * b.im + wi * b.re;
    b = {a.re - tr, a.im - ti};
    a = {a.re + tr, a.im + ti};
}
#endif

// Runs the K passes of half-span h, 2h, .., 2^(K-1) h on the complex range
// [begin, end), whose bounds are multiples of 2^K h. The 2^K values spaced h
// apart are closed under these passes, so they are loaded once, go through
// all K passes in registers, and are stored once.
template <int K>
void Sweep(double* x, const double* twiddles, int h, int begin, int end)
{
    constexpr int kRadix = 1 << K;
    for (int g = begin; g < end; g += kRadix * h)
    {
        for (int j = 0; j < h; ++j)
        {
            double* p = x + 2 * (g + j);
            Complex v[kRadix];
#pragma GCC unroll 16
            for (int q = 0; q < kRadix; ++q)
                v[q] = Load(p + 2 * q * h);
#pragma GCC unroll 16
            for (int level = 0; level < K; ++level)
            {
                const int span = h << level;
                const double* w = twiddles + 2 * (span - 1);
#pragma GCC unroll 16
                for (int q = 0; q < kRadix; ++q)
                {
                    if (q & (1 << level))
                        continue;
                    // Position of element q within its group of this pass.
                    const int position = j + (q & ((1 << level) - 1)) * h;
                    Butterfly(v[q], v[q + (1 << level)], w + 2 * position);
                }
            }
#pragma GCC unroll 16
            for (int q = 0; q < kRadix; ++q)
                Store(p + 2 * q * h, v[q]);
        }
    }
}

int Reverse(int value, int bits)
{
    int reversed = 0;
    for (int i = 0; i < bits; ++i)
        reversed |= ((value >> i) & 1) << (bits - 1 - i);
    return reversed;
}

} // namespace

void CNoiseSynth::MakeTwiddles()
{
    for (int h = 1; h < kN; h <<= 1)
    {
        const double theta = -M_PI / h;
        // sin^2 is read as the product of the sine with itself; scaling by
        // -2 is exact, so the grouping of the three factors cannot matter.
        const double halfSine = std::sin(theta / 2.0);
        const double wpr = -2.0 * (halfSine * halfSine);
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        double* w = m_twiddles.get() + 2 * (h - 1);
        for (int j = 0; j < h; ++j)
        {
            w[2 * j] = wr;
            w[2 * j + 1] = wi;
            // Both lines use the old wr: ((wr*wpr) - (wi*wpi)) + wr.
            const double oldWr = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + oldWr * wpi + wi;
        }
    }
}

void CNoiseSynth::PrepareSpectrum()
{
    double* const x = m_spectrum.get();
    x[kN] = 2.0 * x[kN];
    x[kN + 1] = 0.0;
    for (int j = kHalf + 1; j < kN; ++j)
    {
        x[2 * j] = x[2 * (kN - j)];
        x[2 * j + 1] = -x[2 * (kN - j) + 1];
    }
    // The mirror counter reaches 100000 once, at j = N/2 + 100000.
    PostProgress(5 + TruncToInt(5.0 * 100000 / kHalf));
}

void CNoiseSynth::ReverseBitOrder()
{
    // An index is split into 3 top, 12 middle and 3 bottom bits. The 64
    // elements with middle m trade places with the 64 with middle reverse(m),
    // eight contiguous elements at a time, so every cache line fetched is
    // used whole instead of one element per line.
    constexpr int kEdgeBits = 3;
    constexpr int kMiddleBits = kLog2N - 2 * kEdgeBits;
    constexpr int kEdge = 1 << kEdgeBits;
    int edgeReversed[kEdge];
    for (int i = 0; i < kEdge; ++i)
        edgeReversed[i] = Reverse(i, kEdgeBits);

    double* const x = m_spectrum.get();
    for (int m = 0; m < (1 << kMiddleBits); ++m)
    {
        const int mr = Reverse(m, kMiddleBits);
        if (mr >= m)
        {
            for (int top = 0; top < kEdge; ++top)
            {
                for (int bottom = 0; bottom < kEdge; ++bottom)
                {
                    const int a = (top << (kLog2N - kEdgeBits)) | (m << kEdgeBits) | bottom;
                    const int b =
                        (edgeReversed[bottom] << (kLog2N - kEdgeBits)) | (mr << kEdgeBits) | edgeReversed[top];
                    // Tiles m < reverse(m) trade every element; a tile that
                    // is its own reverse trades each pair once.
                    if (mr > m || b > a)
                    {
                        std::swap(x[2 * a], x[2 * b]);
                        std::swap(x[2 * a + 1], x[2 * b + 1]);
                    }
                }
            }
        }
        // The element counter posts at a = 99999 and a = 199999; here the
        // posts come at the same share of the work.
        if (m == 99999 >> (2 * kEdgeBits))
            PostProgress(10 + TruncToInt(15.0 * (2.0 * 99999 + 1) / (2.0 * kN)));
        else if (m == 199999 >> (2 * kEdgeBits))
            PostProgress(10 + TruncToInt(15.0 * (2.0 * 199999 + 1) / (2.0 * kN)));
    }
}

void CNoiseSynth::RunButterflies()
{
    double* const x = m_spectrum.get();
    const double* const w = m_twiddles.get();
    // Posts one position for every 500000 butterflies, as the counter over
    // all passes does, as soon as a stage has passed that count.
    long done = 0;
    const auto account = [this, &done](long butterflies) {
        const long before = done;
        done += butterflies;
        for (long e = (before / kButterfliesPerPost + 1) * kButterfliesPerPost; e <= done; e += kButterfliesPerPost)
            PostProgress(25 + TruncToInt(75.0 * static_cast<double>(e) / (10.0 * kN)));
    };

    // Passes h = 1..2^11 inside blocks of 2^12 elements (64 KiB).
    constexpr int kSmallBlock = 1 << 12;
    for (int block = 0; block < kN; block += kSmallBlock)
    {
        for (int h = 1; h < kSmallBlock; h <<= 2)
            Sweep<2>(x, w, h, block, block + kSmallBlock);
        account(static_cast<long>(kSmallBlock / 2) * 12);
    }
    // Passes 2^12..2^15 inside blocks of 2^16 elements (1 MiB).
    constexpr int kLargeBlock = 1 << 16;
    for (int block = 0; block < kN; block += kLargeBlock)
    {
        for (int h = kSmallBlock; h < kLargeBlock; h <<= 2)
            Sweep<2>(x, w, h, block, block + kLargeBlock);
        account(static_cast<long>(kLargeBlock / 2) * 4);
    }
    // Passes 2^16 and 2^17 over the whole period.
    Sweep<2>(x, w, kLargeBlock, 0, kN);
    account(static_cast<long>(kHalf) * 2);
    static_assert(kButterflyCount == static_cast<long>(kHalf) * (12 + 4 + 2));
}

void CNoiseSynth::Normalise()
{
    const double* const x = m_spectrum.get();
    int16_t* const out = m_samples.get();
#if SUSURRA_USE_SSE2
    // Only real parts count; max is exact, so its order is free.
    const __m128d absMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    __m128d peaks = _mm_setzero_pd();
    for (int n = 0; n < kN; n += 2)
    {
        const __m128d re = _mm_unpacklo_pd(Load(x + 2 * n), Load(x + 2 * n + 2));
        peaks = _mm_max_pd(peaks, _mm_and_pd(re, absMask));
    }
    const double peak = std::fmax(_mm_cvtsd_f64(peaks), _mm_cvtsd_f64(_mm_unpackhi_pd(peaks, peaks)));
    if (peak == 0.0)
    {
        // An all-zero spectrum is silence; there is nothing to divide by.
        for (int n = 0; n < kN; ++n)
            out[n] = 0;
        return;
    }

    // trunc((s * x) * 10000) with s = 1/P, in that order (brown's peak may be
    // lower than 10000). Eight samples at a
    // time; the truncations keep their low 16 bits (shift up, then down with
    // sign) before the saturating pack, which then changes nothing.
    const __m128d s = _mm_set1_pd(1.0 / peak);
    const __m128d scale = _mm_set1_pd(m_peakTarget);
    const auto four = [&](int n) {
        const __m128d lo = _mm_unpacklo_pd(Load(x + 2 * n), Load(x + 2 * n + 2));
        const __m128d hi = _mm_unpacklo_pd(Load(x + 2 * n + 4), Load(x + 2 * n + 6));
        const __m128i a = _mm_cvttpd_epi32(_mm_mul_pd(_mm_mul_pd(s, lo), scale));
        const __m128i b = _mm_cvttpd_epi32(_mm_mul_pd(_mm_mul_pd(s, hi), scale));
        const __m128i v = _mm_unpacklo_epi64(a, b);
        return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16);
    };
    for (int n = 0; n < kN; n += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + n), _mm_packs_epi32(four(n), four(n + 4)));
#else
    // Two running maxima, even and odd samples, each taking the new value
    // unless the old one is greater: maxpd's rule, NaN included.
    double peaks[2] = {0.0, 0.0};
    for (int n = 0; n < kN; ++n)
    {
        const double magnitude = std::fabs(x[2 * n]);
        peaks[n & 1] = peaks[n & 1] > magnitude ? peaks[n & 1] : magnitude;
    }
    const double peak = std::fmax(peaks[0], peaks[1]);
    if (peak == 0.0)
    {
        for (int n = 0; n < kN; ++n)
            out[n] = 0;
        return;
    }
    // trunc((s * x) * 10000) with s = 1/P, keeping the low 16 bits as the
    // vector code does.
    const double s = 1.0 / peak;
    for (int n = 0; n < kN; ++n)
        out[n] = static_cast<int16_t>(static_cast<uint16_t>(TruncToInt((s * x[2 * n]) * m_peakTarget)));
#endif
}

void CNoiseSynth::Transform()
{
    MakeTables();
    ReverseBitOrder();
    RunButterflies();
    PostProgress(100);
    Normalise();
}
