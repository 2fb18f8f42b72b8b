// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli devices: the sound devices play can use, with their index.

#include <cstdio>
#include <string_view>

#include "cli/cli_commands.h"
#include "playback/backends/portaudio/portaudio_wave_out.h"

int RunDevices(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs("Usage: susurra-cli devices\n"
                       "\n"
                       "Lists the sound devices that can play 16-bit mono sound at 44100 Hz, one a\n"
                       "line: the index and the full name. 'susurra-cli play --device' takes either.\n"
                       "\n"
                       "Exit status: 0 listed, 1 no usable device, 2 a bad option.\n",
                       stdout);
            return 0;
        }
        std::fprintf(stderr, "susurra-cli: unknown option '%s'\nRun 'susurra-cli devices --help' for the options.\n",
                     argv[i]);
        return 2;
    }
    CPortAudioWaveOut waveOut;
    int index = 0;
    for (const WaveDeviceInfo& device : waveOut.Devices())
        if (device.takesMono16At44100)
            std::printf("%3d  %s\n", index++, device.name.c_str());
    if (index == 0) {
        std::fprintf(stderr, "susurra-cli: No audio mixer device found\n");
        return 1;
    }
    return 0;
}
