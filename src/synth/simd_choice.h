// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the synthesis uses the x86 vector instructions. Both paths give the
// same bits; SUSURRA_PORTABLE_SIMD forces the portable one so that an x86
// build can check it against the other.
#if defined(__SSE2__) && !defined(SUSURRA_PORTABLE_SIMD)
#define SUSURRA_USE_SSE2 1
#else
#define SUSURRA_USE_SSE2 0
#endif
