#include <cstdio>

#include "cli/cli_commands.h"

int RunDevices(int, char**)
{
    std::fprintf(stderr, "susurra-cli: 'devices' is not available yet\n");
    return 2;
}
