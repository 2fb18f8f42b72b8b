// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// The kinds of sound file, told apart by the name's suffix.
enum class SoundFileType
{
    Wave,    // the program's own 16-bit PCM writer
    Flac,    // lossless: the same samples
    Opus,    // Ogg Opus, about 48 kbit/s
    Mp3,     // MPEG layer III, about 96 kbit/s
    Unknown, // a suffix that is none of the above
};

// The type a file name asks for: .wav, .flac, .opus or .mp3 in any case; a
// name without a suffix (and "-", standard output) is a WAV file, as it
// always was.
SoundFileType SoundFileTypeOf(std::string_view fileName);

// ".wav", ".flac", ".opus", ".mp3"; "" for Unknown.
const char* SoundFileSuffix(SoundFileType type);

// The text that refuses a name whose suffix is unknown.
const char* UnknownSuffixText();
