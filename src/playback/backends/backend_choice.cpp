// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/backends/backend_choice.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "playback/backends/pulse/pulse_wave_out.h"
#include "playback/backends/alsa/alsa_wave_out.h"

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

std::optional<WaveBackend> WaveBackendFromEnvironment()
{
    const char* value = std::getenv(kBackendVariable);
    if (value == nullptr || *value == '\0')
        return WaveBackend::Automatic;
    return WaveBackendFromName(value);
}

namespace
{
constexpr int kServerTimeoutMs = 5000;
// Long enough for a busy server, short enough that a forced one that never
// answers is given up within five seconds in all.
constexpr int kForcedConnectMs = 4000;
// The automatic choice falls back to ALSA this soon.
constexpr int kProbeConnectMs = 2000;
} // namespace

std::unique_ptr<IWaveOut> CreateWaveOut(WaveBackend backend)
{
    if (backend == WaveBackend::Automatic)
        backend = WaveBackendFromEnvironment().value_or(WaveBackend::Automatic);
    if (backend == WaveBackend::Alsa)
        return std::make_unique<CAlsaWaveOut>();
    auto pulse = std::make_unique<CPulseWaveOut>(kServerTimeoutMs,
                                                 backend == WaveBackend::Pulse ? kForcedConnectMs : kProbeConnectMs);
    if (backend == WaveBackend::Pulse || pulse->Connected())
        return pulse;
    // A server that took the connection and never answered is there: ALSA's
    // own way to it (its PulseAudio plug-in, probed by PortAudio) would wait
    // on it for minutes. Its backend lists no device and names it.
    if (const std::optional<std::string> silent = pulse->UnreachedServer(); silent && !silent->empty())
        return pulse;
    // Without a sound server, ALSA's devices are free to open directly.
    pulse.reset();
    return std::make_unique<CAlsaWaveOut>();
}
