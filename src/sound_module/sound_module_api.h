// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "playback/backends/backend_choice.h"
#include "soundfile/compressed_writer.h"

// The program's sound libraries (the sound server's, PortAudio's and the
// encoders') live in a module that the window loads when it first needs
// sound: linked into the program, they made every start load and relocate
// some twenty libraries before the window could show. The command line and
// the tests link the same code directly.
struct SoundModuleApi
{
    // The program's version: a module left from another build is refused.
    const char* version;
    std::unique_ptr<IWaveOut> (*createWaveOut)(WaveBackend backend);
    CIoResult (*writeCompressedFile)(const char* fileName, SoundFileType type, double totalSeconds,
                                     const std::function<CIoResult(int fd)>& writeWave, EncoderTimes* times,
                                     const FileSystemCalls& calls, int channels);
    int64_t (*estimatedFileBytes)(SoundFileType type, double seconds, int channels);
    bool (*canWriteType)(SoundFileType type);
};

inline constexpr char kSoundModuleFile[] = "susurra-sound.so";
inline constexpr char kSoundModuleEntry[] = "SusurraSoundModule";
using SoundModuleEntry = const SoundModuleApi* (*)();
