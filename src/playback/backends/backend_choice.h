// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "playback/wave_out.h"

enum class WaveBackend
{
    Automatic, // the sound server when one answers, otherwise ALSA
    Pulse,     // the desktop's sound server
    Alsa,      // ALSA through PortAudio
};

// "pulse", "alsa" or "auto"; nothing for anything else.
std::optional<WaveBackend> WaveBackendFromName(std::string_view name);

// The environment variable that chooses the backend when nothing else does.
inline constexpr const char* kBackendVariable = "SUSURRA_BACKEND";

// The backend SUSURRA_BACKEND names; Automatic when it is unset or empty;
// nothing when it names none (the caller refuses it as it refuses a bad
// --backend).
std::optional<WaveBackend> WaveBackendFromEnvironment();

// The wave-output service to play through. Automatic reads SUSURRA_BACKEND
// (pulse, alsa) first, and takes a value that names none as unset; without
// it, the sound server is used when one answers within two seconds, and ALSA
// only when none can be reached. A forced sound server is waited for four
// seconds. A server that was forced, or that was reached and did not answer,
// still gives its backend, which then lists no device and names the server
// through UnreachedServer().
std::unique_ptr<IWaveOut> CreateWaveOut(WaveBackend backend = WaveBackend::Automatic);
