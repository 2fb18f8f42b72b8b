// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/io_result.h"
#include "base/stereo_sound.h"
#include "soundfile/compressed_writer.h"
#include "soundfile/wave_writer.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"

// What a sound is made of: the signal and its surf.
struct SoundValues
{
    int noiseType = Pink;        // NoiseType
    double lowerLimit = 100.0;   // Hz
    double upperLimit = 20000.0; // Hz
    int tinnitusFreq = 440;      // Hz
    double surfStrength = 30.0;  // percent
    double surfPeriod = 20.0;    // seconds
    // Noise that never repeats (the tone is not affected): each period drawn
    // afresh from seed. Off: the one period, repeated.
    bool endless = false;
    uint64_t seed = 0;
    // A band of notchWidthOctaves (0.5 or 1) cut from the noise around
    // tinnitusFreq; the tone is not affected.
    bool notch = false;
    double notchWidthOctaves = 1.0;
    // The listener's shape on the noises; off by default. The tone is not affected.
    SpectrumTilt tilt{};
    // Two channels, each ear with its own noise at its own level; off: one
    // channel. In stereo, tilt shapes the left ear and rightTilt the right.
    StereoSound stereo{};
    SpectrumTilt rightTilt{};
};

// The notch of a sound: on only for the noises.
NotchBand NotchOf(const SoundValues& sound);

// What a file adds to a sound.
struct FileValues
{
    double fadeIn = 10.0;         // seconds
    double fadeOut = 10.0;        // seconds
    double totalSeconds = 4740.0; // playing time
};

// Makes the period of `sound` into synth: one second of tone for the
// Tinnitus Finder, a noise period otherwise. Runs on the calling thread.
// Endless noise makes the same repeated period too, so that synth stays
// ready for playback; the endless file draws its own periods.
void MakeSignal(CNoiseSynth& synth, const SoundValues& sound);

// The right ear's synthesizer: its phases start at kRightEarPhaseState, so
// that its noise shares none with the left ear's. Call once, before its
// first period.
void StartRightEar(CNoiseSynth& synth);
// Makes the right ear's noise period into synth (started by StartRightEar):
// the same type, band and notch as the left, shaped by sound.rightTilt.
// The tone needs none. Its loudness is the left period's (left).
void MakeRightSignal(CNoiseSynth& synth, const SoundValues& sound, const CNoiseSynth& left);

// Writes the period now in synth as a sound file: into writer.fileName, or
// into fd when it is not -1 (left open; always WAV). The name's suffix
// chooses the type (sound_file_type.h): WAV through the writer alone, FLAC,
// Opus and MP3 through WriteCompressedFile, which gets the WAV's samples;
// times, when given, receives the encoder's figures. The block length
// follows the type: the tone's period for the tone, the noise period
// otherwise. Endless noise draws period b of the file from sound.seed for
// block b, spread over the writer's workers. Ok when the whole file was
// written; otherwise why not, for the caller to tell.
// With sound.stereo.on the file has two channels: the tone in both (silent
// in the ear it does not play in), or the right ear's noise from right
// (made by MakeRightSignal); without one, the right ear's period is made
// here for this file. Endless noise draws the right ear's periods from
// RightEarSeed(sound.seed). Each ear then gets its level.
CIoResult WriteSoundFile(CWaveWriter& writer, const CNoiseSynth& synth, const SoundValues& sound,
                         const FileValues& file, int fd = -1, EncoderTimes* times = nullptr,
                         const CNoiseSynth* right = nullptr);
