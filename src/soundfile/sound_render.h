// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "soundfile/wave_writer.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"

// What a sound is made of: the signal and its surf.
struct SoundValues
{
    int noiseType = Pink;          // NoiseType
    double lowerLimit = 100.0;     // Hz
    double upperLimit = 20000.0;   // Hz
    int tinnitusFreq = 440;        // Hz
    double surfStrength = 30.0;    // percent
    double surfPeriod = 20.0;      // seconds
};

// What a file adds to a sound.
struct FileValues
{
    double fadeIn = 10.0;          // seconds
    double fadeOut = 10.0;         // seconds
    double totalSeconds = 4740.0;  // playing time
};

// Makes the period of `sound` into synth: one second of tone for the
// Tinnitus Finder, a noise period otherwise. Runs on the calling thread.
void MakeSignal(CNoiseSynth& synth, const SoundValues& sound);

// Writes the period now in synth as a sound file: into writer.fileName, or
// into fd when it is not -1 (left open). The block length follows the type:
// the tone's period for the tone, the noise period otherwise. True when the
// whole file was written; otherwise the writer reported why.
bool WriteSoundFile(CWaveWriter& writer, const CNoiseSynth& synth, const SoundValues& sound,
                    const FileValues& file, int fd = -1);
