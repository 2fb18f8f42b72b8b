// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli devices: the sound devices play can use, with their index.

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "base/printable_text.h"
#include "cli/cli_commands.h"
#include "cli/cli_device_choice.h"
#include "playback/backends/backend_choice.h"

int RunDevices(int argc, char** argv)
{
    WaveBackend backend = WaveBackend::Automatic;
    for (int i = 0; i < argc; ++i)
    {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            std::fputs("Usage: susurra-cli devices [--backend pulse|alsa]\n"
                       "\n"
                       "Lists the sound devices that can play 16-bit mono sound at 44100 Hz, one a\n"
                       "line: the index and the full name. 'susurra-cli play --device' takes either.\n"
                       "With a sound server the first is its default output, then every output by\n"
                       "its description.\n"
                       "\n"
                       "  --backend pulse|alsa   list the sound server's outputs or ALSA's devices;\n"
                       "                         default: the sound server when one answers\n"
                       "                         (or SUSURRA_BACKEND)\n"
                       "\n"
                       "Exit status: 0 listed, 1 no usable device, 2 a bad option.\n",
                       stdout);
            return 0;
        }
        if (argument == "--backend" || argument.rfind("--backend=", 0) == 0)
        {
            std::string_view value;
            if (argument == "--backend" && i + 1 < argc)
                value = argv[++i];
            else if (argument != "--backend")
                value = argument.substr(10);
            const std::optional<WaveBackend> chosen = WaveBackendFromName(value);
            if (!chosen)
            {
                std::fprintf(stderr,
                             "susurra-cli: --backend: '%s' is none of pulse, alsa.\n"
                             "Run 'susurra-cli devices --help' for the options.\n",
                             ArgumentText(value).c_str());
                return 2;
            }
            backend = *chosen;
            continue;
        }
        std::fprintf(stderr, "susurra-cli: unknown option '%s'\nRun 'susurra-cli devices --help' for the options.\n",
                     ArgumentText(argument).c_str());
        return 2;
    }
    const std::optional<WaveBackend> chosen = ChosenBackend(backend, "devices");
    if (!chosen)
        return 2;
    const std::unique_ptr<IWaveOut> waveOut = CreateWaveOut(*chosen);
    if (ReportUnreachedServer(*waveOut))
        return 1;
    int index = 0;
    for (const WaveDeviceInfo& device : waveOut->Devices())
        if (device.takesMono16At44100)
            std::printf("%3d  %s\n", index++, PrintableText(device.name).c_str());
    if (index == 0)
    {
        std::fprintf(stderr, "susurra-cli: No audio mixer device found\n");
        return 1;
    }
    return 0;
}
