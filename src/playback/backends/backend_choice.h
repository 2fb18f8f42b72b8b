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

// The wave-output service to play through. Automatic reads SUSURRA_BACKEND
// (pulse, alsa) first; without it, the sound server is used when one answers
// within two seconds, and ALSA only when none does. A forced sound server
// that does not answer still gives its backend, which then lists no device.
std::unique_ptr<IWaveOut> CreateWaveOut(WaveBackend backend = WaveBackend::Automatic);
