// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "synth/phase_generator.h"

// The noise synthesis written the plain way, one step after the other in the
// textbook loop order, as the yardstick the fast code must match bit for bit.
// x is a spectrum of N complex bins as 2N doubles.

// Builds bins 0..N/2 for type 0..2 between lower and upper Hz.
void LiteralSpectrum(int type, double lower, double upper, CPhaseGenerator& phases, double* x);

// Mirror, bit reversal, butterflies (j outer, groups inner), then the peak
// normalisation into out.
void LiteralTransform(double* x, int16_t* out);
