#include <cstdio>

#include "cli/cli_commands.h"

int RunPlay(int, char**)
{
    std::fprintf(stderr, "susurra-cli: 'play' is not available yet\n");
    return 2;
}
