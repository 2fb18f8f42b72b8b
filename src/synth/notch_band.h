// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

// A band removed from the noise spectrum, centred on the tinnitus frequency:
// [centre / 2^(w/2), centre * 2^(w/2)] for a width of w octaves. Off, or a
// band that lies wholly outside the noise, leaves every sample as it was.
struct NotchBand
{
    bool on = false;
    double centre = 1000.0;    // Hz
    double widthOctaves = 1.0; // 0.5 or 1

    double Lower() const { return centre / std::exp2(0.5 * widthOctaves); }
    double Upper() const { return centre * std::exp2(0.5 * widthOctaves); }
};

// Two notches cut the same band; all notches that are off are alike.
inline bool SameNotch(const NotchBand& a, const NotchBand& b)
{
    return a.on == b.on && (!a.on || (a.centre == b.centre && a.widthOctaves == b.widthOctaves));
}

// The widths a user can choose are 0.5 and 1 octave; anything else is taken
// as one octave, the width of the listening programmes.
inline double ValidNotchWidth(double widthOctaves)
{
    return widthOctaves == 0.5 ? 0.5 : 1.0;
}
