// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "synth/notch_band.h"

#include <limits>
#include <optional>
#include <vector>

// The sound as the main window holds it, before Play: what the picture of
// its spectrum is drawn from.
struct SpectrumValues
{
    int noiseType = 0; // NoiseType
    double lowerLimitHz = 20.0;
    double upperLimitHz = 20000.0;
    double tinnitusHz = 440.0;
    NotchBand notch; // as the synthesizer gets it: off for the tone
    // Stereo: each ear at its own level, in dB below full (0); minus
    // infinity is silence. Mono plays both ears at earLevelDb[0].
    bool stereo = false;
    double earLevelDb[2] = {0.0, 0.0}; // left, right
};

// One stretch of frequencies that the noise holds.
struct SpectrumStretch
{
    double lowHz;
    double highHz;
};

// What the picture shows, in hertz and decibels; the widget only maps it to
// pixels. The level of a noise at f is its ear's level plus the type's slope
// times the octaves from kLowestHz up to f.
struct SpectrumPicture
{
    static constexpr double kLowestHz = 20.0;
    static constexpr double kHighestHz = 20000.0;
    // The level axis: room above full level, so that a flat noise shows as
    // a line, and down to where the steepest colour has fallen.
    static constexpr double kCeilingDb = 10.0;
    static constexpr double kFloorDb = -60.0;
    static constexpr double kSilenceDb = -std::numeric_limits<double>::infinity();

    bool tone = false;
    double toneHz = 0.0;
    double slopeDbPerOctave = 0.0;
    // The band between the limits, clipped to the axis, with the notch's gap
    // cut out: none when the lower limit lies above the upper one.
    std::vector<SpectrumStretch> stretches;
    // The limits and the notch as asked for (the limits for the tone too).
    double lowerLimitHz = kLowestHz;
    double upperLimitHz = kHighestHz;
    std::optional<SpectrumStretch> notch;
    // The tinnitus frequency, marked on the noises.
    std::optional<double> markerHz;
    bool stereo = false;
    double earLevelDb[2] = {0.0, 0.0};

    // The level of ear (0 left, 1 right) at frequency hz.
    double LevelDb(int ear, double hz) const;
};

SpectrumPicture DescribeSpectrum(const SpectrumValues& values);
