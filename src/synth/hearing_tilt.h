// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "synth/hearing_profile.h"

// How far the noise's spectrum is raised or lowered per frequency so that
// every band lies the same distance above a listener's threshold: the
// threshold minus the mean of the thresholds, within -kMaxCutDb..kMaxBoostDb.
// Between the measured frequencies the tilt runs straight over
// log-frequency; beyond them it holds the outermost value. The overall
// level is left to the noise's own normalisation.
struct SpectrumTilt
{
    static constexpr int kMaxPoints = 16;
    static constexpr double kMaxBoostDb = 20.0;
    static constexpr double kMaxCutDb = 20.0;

    int count = 0; // 0: no tilt, every bin as it was
    std::array<double, kMaxPoints> hz{};
    std::array<double, kMaxPoints> db{};

    bool On() const { return count > 0; }
    // The tilt in dB at a frequency; 0 when off.
    double DbAt(double frequency) const;
    // 10^(DbAt/20).
    double GainAt(double frequency) const;
};

// The tilt for one ear: its own thresholds, else those of both ears
// together. For Both: the "both" thresholds, else the mean of left and right
// where both were measured, else the one ear there is. A threshold not heard
// counts at the loudest level checked. No thresholds: no tilt.
SpectrumTilt HearingTilt(const HearingProfile& profile, HearingEar ear);
