// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/stereo_sound.h"
#include "settings/noise_setting.h"

// Options of a noise setting that the original record has no field for,
// kept in its six trailing reserved bytes (reserved2, record offsets 90..95):
//   0..2  marker 'S' 'x' 0x01 (the block's layout version)
//   3     flags: bit 0 endless, bit 1 notch, bit 2 brown, bit 3 stereo,
//         bit 4 shaped to the user's hearing; the other bits zero
//   4     notch width: 0 none (no notch), 1 half an octave, 2 one octave
//   5     check: CRC-8 (polynomial 0x07) of bytes 0..4, then, with stereo,
//         of the three bytes below
// With stereo, the record's first reserved bytes (reserved1, offsets 1..3)
// hold the ears: the left and the right ear's level as dB below full,
// 0..60, or 255 for silence, and the tone's ear (0 both, 1 left, 2 right).
// Without stereo they stay zero.
// A block that does not validate in every byte reads as all options off, so
// stray bytes from other programs never turn an option on. With every option
// off the block is written as six zero bytes, the record as it always was.
//
// Brown noise is stored as Pink (2) in the type field with the brown flag, so
// a reader that knows only the types 0..3 still finds a valid sound: pink.
struct NoiseExtras
{
    bool endless = false;           // noise that never repeats
    bool notch = false;             // a notch in the spectrum
    double notchWidthOctaves = 0.0; // 0.5 or 1.0 with the notch, else 0
    bool brown = false;             // the Pink in the type field means Brown
    bool hearingShaped = false;     // the spectrum tilted to the hearing profile
    StereoSound stereo{};           // two channels, each ear at its own level

    bool operator==(const NoiseExtras&) const = default;
};

NoiseExtras ReadNoiseExtras(const NoiseSetting& setting);

// Stores extras in setting.reserved2 and, with stereo, reserved1 (zeros
// when all are off). A notch width
// other than 0.5 or 1 octave is stored as one octave.
void WriteNoiseExtras(NoiseSetting& setting, const NoiseExtras& extras);

// The NoiseType a record stands for: Brown for Pink with the brown flag, the
// type field for 0..3, and -1 (no type) for any other stored value.
int NoiseTypeOfRecord(const NoiseSetting& setting);

// The type field for a NoiseType: Pink for Brown (whose flag the caller sets
// with extras.brown), the low byte of any other value.
std::int8_t RecordTypeOfNoise(int type);
