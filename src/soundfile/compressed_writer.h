// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

#include "base/file_system_calls.h"
#include "base/io_result.h"
#include "soundfile/sound_file_type.h"

// How the encoder's time went, for the benchmarks.
struct EncoderTimes
{
    double encoderSeconds = 0.0; // CPU time of the encoding thread
    double tailSeconds = 0.0;    // wall time spent waiting for it after the last sample was made
};

// Writes a FLAC, Ogg Opus or MP3 file through libsndfile into fileName.
// writeWave writes the 16-bit wave stream (header first) into the
// descriptor it is given, as CWaveWriter::WriteTo does; the stream goes
// through a pipe to an encoding thread, so that making the samples and
// encoding them overlap. The encoder gets exactly the wave's samples; Opus,
// which codes at 48000 Hz only, gets them resampled from 44100 Hz. The same
// samples make the same file, byte for byte.
//
// Refused before the file is touched: a length beyond 23:59:59, more than
// the free space the estimate needs, a type this system's libsndfile cannot
// write, MP3 into a pipe. A regular file appears only whole (see
// CFileReplacement, which flushes and renames through calls): a failure
// leaves the old one. Ok when the whole file was written; when the encoder
// failed, its reason rather than the wave stream's broken pipe. channels
// (1 or 2) is the wave stream's, interleaved, and the file's.
CIoResult WriteCompressedFile(const char* fileName, SoundFileType type, double totalSeconds,
                              const std::function<CIoResult(int fd)>& writeWave, EncoderTimes* times = nullptr,
                              const FileSystemCalls& calls = {}, int channels = 1);

// The bytes a file of `seconds` of the type needs at most, about: FLAC's
// bound holds for the loudest noise; the WAV size for Wave.
int64_t EstimatedFileBytes(SoundFileType type, double seconds, int channels = 1);

// Whether this system's libsndfile writes the type (Wave always).
bool CanWriteType(SoundFileType type);
