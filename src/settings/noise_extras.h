// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/noise_setting.h"

// Options of a noise setting that the original record has no field for,
// kept in its six trailing reserved bytes (reserved2, record offsets 90..95):
//   0..2  marker 'S' 'x' 0x01 (the block's layout version)
//   3     flags: bit 0 endless, bit 1 notch, bit 4 shaped to the user's
//         hearing; the other bits zero
//   4     notch width: 0 none (no notch), 1 half an octave, 2 one octave
//   5     check: CRC-8 (polynomial 0x07) of bytes 0..4
// A block that does not validate in every byte reads as all options off, so
// stray bytes from other programs never turn an option on. With every option
// off the block is written as six zero bytes, the record as it always was.
struct NoiseExtras
{
    bool endless = false;           // noise that never repeats
    bool notch = false;             // a notch in the spectrum
    double notchWidthOctaves = 0.0; // 0.5 or 1.0 with the notch, else 0
    bool hearingShaped = false;     // the spectrum tilted to the hearing profile

    bool operator==(const NoiseExtras&) const = default;
};

NoiseExtras ReadNoiseExtras(const NoiseSetting& setting);

// Stores extras in setting.reserved2 (zeros when all are off). A notch width
// other than 0.5 or 1 octave is stored as one octave.
void WriteNoiseExtras(NoiseSetting& setting, const NoiseExtras& extras);
