// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/backends/backend_choice.h"

#include <cstdlib>

#include "playback/backends/pulse/pulse_wave_out.h"
#include "playback/backends/portaudio/portaudio_wave_out.h"

std::optional<WaveBackend> WaveBackendFromName(std::string_view name)
{
    if (name == "pulse")
        return WaveBackend::Pulse;
    if (name == "alsa")
        return WaveBackend::Alsa;
    if (name == "auto")
        return WaveBackend::Automatic;
    return std::nullopt;
}

std::unique_ptr<IWaveOut> CreateWaveOut(WaveBackend backend)
{
    if (backend == WaveBackend::Automatic)
    {
        if (const char* forced = std::getenv("SUSURRA_BACKEND"))
            backend = WaveBackendFromName(forced).value_or(WaveBackend::Automatic);
    }
    if (backend == WaveBackend::Alsa)
        return std::make_unique<CPortAudioWaveOut>();
    auto pulse = std::make_unique<CPulseWaveOut>();
    if (backend == WaveBackend::Pulse || pulse->Connected())
        return pulse;
    // Without a sound server, ALSA's devices are free to open directly.
    pulse.reset();
    return std::make_unique<CPortAudioWaveOut>();
}
