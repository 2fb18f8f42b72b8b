#include <cstdio>

#include "cli/cli_commands.h"

int RunSettings(int, char**)
{
    std::fprintf(stderr, "susurra-cli: 'settings' is not available yet\n");
    return 2;
}
