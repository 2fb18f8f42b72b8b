// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sound_shape.h"

#include "synth/noise_type.h"

#include <algorithm>
#include <cmath>

namespace
{

// Louder than full is drawn as full; NaN counts as silence, so that a bad
// level can never draw a trace where none belongs.
double ClampLevel(double levelDb)
{
    if (!(levelDb >= SpectrumPicture::kSilenceDb))
        return SpectrumPicture::kSilenceDb;
    return std::min(levelDb, 0.0);
}

} // namespace

double SpectrumPicture::LevelDb(int ear, double hz) const
{
    return earLevelDb[ear] + slopeDbPerOctave * std::log2(hz / kLowestHz);
}

SpectrumPicture DescribeSpectrum(const SpectrumValues& values)
{
    SpectrumPicture picture;
    picture.stereo = values.stereo;
    picture.earLevelDb[0] = ClampLevel(values.earLevelDb[0]);
    picture.earLevelDb[1] = values.stereo ? ClampLevel(values.earLevelDb[1]) : picture.earLevelDb[0];
    picture.lowerLimitHz = values.lowerLimitHz;
    picture.upperLimitHz = values.upperLimitHz;
    if (IsTone(values.noiseType))
    {
        picture.tone = true;
        picture.toneHz = values.tinnitusHz;
        return picture;
    }
    picture.slopeDbPerOctave = NoiseSlopeDbPerOctave(values.noiseType);
    picture.markerHz = values.tinnitusHz;
    // The synthesizer sets no bin when the limits cross: silence.
    const double low = std::max(values.lowerLimitHz, SpectrumPicture::kLowestHz);
    const double high = std::min(values.upperLimitHz, SpectrumPicture::kHighestHz);
    if (values.lowerLimitHz > values.upperLimitHz || low > high)
        return picture;
    if (!values.notch.on)
    {
        picture.stretches.push_back({low, high});
        return picture;
    }
    picture.notch = SpectrumStretch{values.notch.Lower(), values.notch.Upper()};
    if (picture.notch->lowHz > low)
        picture.stretches.push_back({low, std::min(high, picture.notch->lowHz)});
    if (picture.notch->highHz < high)
        picture.stretches.push_back({std::max(low, picture.notch->highHz), high});
    return picture;
}
