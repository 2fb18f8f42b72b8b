// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "base/stereo_sound.h"

// The noise and surf parameters that Play needs, as the controls hold them.
struct PlayParameters
{
    int noiseType = 0;           // NoiseType
    double lowerLimit = 20.0;    // Hz
    double upperLimit = 20000.0; // Hz
    int tinnitusFreq = 1000;     // Hz
    double surfStrength = 0.0;   // percent, 0..100
    double surfPeriod = 8.0;     // seconds, 0..10000
    bool endless = false;        // noise that never repeats (not the tone)
    uint64_t seed = 0;           // of the endless noise
    int64_t fadeInSamples = 0;   // rise from silence at Play; 0: none
    int64_t endSample = -1;      // the stream ends here (-1: never) ...
    int64_t fadeOutSamples = 0;  // ... after falling over this many samples
    bool glide = false;          // a new sound while playing crossfades from the old one
    // A band cut from the noise around tinnitusFreq (not the tone).
    bool notch = false;
    double notchWidthOctaves = 1.0; // 0.5 or 1
    // Two channels with an independent noise in each; off: one channel.
    StereoSound stereo{};
};

// Reads the current parameters from wherever the user sets them (the window's
// controls, the command line). Called on the UI thread only, each time the
// engine needs fresh values (Play, a change of device).
class IPlayControls
{
public:
    virtual ~IPlayControls() = default;
    virtual PlayParameters ReadControls() = 0;
};
