// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "playback/backends/backend_choice.h"
#include "playback/wave_out.h"

// The device list entry for --device: its index or its full name; -1 when
// none fits.
int FindDevice(const std::vector<std::string>& names, const std::string& wanted);

// The backend to play through: `given` (from --backend) unless it is
// Automatic, then the one SUSURRA_BACKEND names. Nothing, after saying why on
// standard error as a bad --backend is refused, when SUSURRA_BACKEND names
// none; `command` names the command whose --help the message points to.
std::optional<WaveBackend> ChosenBackend(WaveBackend given, std::string_view command);

// When the backend could not reach its sound server, says so on standard
// error and returns true.
bool ReportUnreachedServer(const IWaveOut& waveOut);
