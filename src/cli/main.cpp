// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli: the command-line front end over the Susurra core.

#include <cstdio>
#include <cstring>
#include <string_view>
#include <unistd.h>

#include "base/printable_text.h"
#include "cli/cli_commands.h"
#include "cli/standard_output.h"

namespace
{

struct Command
{
    const char* name;
    int (*run)(int, char**);
    const char* summary;
};

constexpr Command kCommands[] = {
    {"render", RunRender, "write the sound into a WAV file"},
    {"play", RunPlay, "play the sound on a sound device"},
    {"match", RunMatch, "find the pitch of a tinnitus by comparing tones"},
    {"hearing", RunHearing, "find the quietest level heard per frequency (not a clinical test)"},
    {"devices", RunDevices, "list the usable sound devices"},
    {"settings", RunSettings, "list the noise and file settings"},
};

void PrintUsage(std::FILE* out)
{
    std::fprintf(out, "Usage: susurra-cli COMMAND [options]\n\nCommands:\n");
    for (const Command& c : kCommands)
        std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(out, "\nRun 'susurra-cli COMMAND --help' for the options of a command,\n"
                      "'susurra-cli --version' for the version.\n");
}

int RunCommand(int argc, char** argv)
{
    if (argc < 2)
    {
        PrintUsage(stderr);
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help")
    {
        PrintUsage(stdout);
        return 0;
    }
    if (name == "--version" || name == "-V")
    {
        std::printf("susurra-cli %s\n", SUSURRA_VERSION);
        return 0;
    }
    for (const Command& c : kCommands)
        if (name == c.name)
            return c.run(argc - 2, argv + 2);
    std::fprintf(stderr, "susurra-cli: unknown command '%s'\n\n", ArgumentText(name).c_str());
    PrintUsage(stderr);
    return 2;
}

} // namespace

// A script reading the output must never take a status of 0 for output that
// was lost.
int main(int argc, char** argv)
{
    // Into a file or a pipe the longest help goes out whole at the end, so
    // that a failed write is seen with its reason rather than halfway.
    static char outputBuffer[1 << 16];
    if (::isatty(STDOUT_FILENO) == 0)
        std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    return FinishStandardOutput(RunCommand(argc, argv));
}
