// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_device_choice.h"

#include <cstdio>
#include <cstdlib>

#include "base/printable_text.h"

int FindDevice(const std::vector<std::string>& names, const std::string& wanted)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == wanted)
            return static_cast<int>(i);
    if (!wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos && wanted.size() < 9)
    {
        const int index = std::stoi(wanted);
        if (index < static_cast<int>(names.size()))
            return index;
    }
    return -1;
}

std::optional<WaveBackend> ChosenBackend(WaveBackend given, std::string_view command)
{
    if (given != WaveBackend::Automatic)
        return given;
    const std::optional<WaveBackend> named = WaveBackendFromEnvironment();
    if (!named)
        std::fprintf(stderr,
                     "susurra-cli: %s: '%s' is none of pulse, alsa.\nRun 'susurra-cli %.*s --help' for the options.\n",
                     kBackendVariable, ArgumentText(std::getenv(kBackendVariable)).c_str(),
                     static_cast<int>(command.size()), command.data());
    return named;
}

bool ReportUnreachedServer(const IWaveOut& waveOut)
{
    const std::optional<std::string> server = waveOut.UnreachedServer();
    if (!server)
        return false;
    if (server->empty())
        std::fprintf(stderr, "susurra-cli: no sound server answers\n");
    else
        std::fprintf(stderr, "susurra-cli: the sound server at %s does not answer\n", PrintableText(*server).c_str());
    return true;
}
