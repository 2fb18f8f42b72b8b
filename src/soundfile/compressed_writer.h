// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

#include "soundfile/sound_file_type.h"
#include "soundfile/wave_writer.h"

// How the encoder's time went, for the benchmarks.
struct EncoderTimes
{
    double encoderSeconds = 0.0; // CPU time of the encoding thread
    double tailSeconds = 0.0;    // wall time spent waiting for it after the last sample was made
};

// Writes a FLAC, Ogg Opus or MP3 file through libsndfile into
// writer.fileName. writeWave writes the 16-bit wave stream (header first)
// into the descriptor it is given and reports its own failures, as
// CWaveWriter::WriteTo does; the stream goes through a pipe to an encoding
// thread, so that making the samples and encoding them overlap. The encoder
// gets exactly the wave's samples; Opus, which codes at 48000 Hz only, gets
// them resampled from 44100 Hz.
//
// Refused before the file is touched, with the reason reported through
// writer.reporter: a length beyond 23:59:59, more than the free space the
// estimate needs, a type this system's libsndfile cannot write. A regular
// file appears only whole (see CFileReplacement): a failure leaves the old
// one. True when the whole file was written.
bool WriteCompressedFile(CWaveWriter& writer, SoundFileType type, double totalSeconds,
                         const std::function<bool(int fd)>& writeWave, EncoderTimes* times = nullptr);

// The bytes a file of `seconds` of the type needs, about; the WAV size for Wave.
int64_t EstimatedFileBytes(SoundFileType type, double seconds);

// Whether this system's libsndfile writes the type (Wave always).
bool CanWriteType(SoundFileType type);
