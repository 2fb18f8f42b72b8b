#include <cstdio>

#include "cli/cli_commands.h"

int RunRender(int, char**)
{
    std::fprintf(stderr, "susurra-cli: 'render' is not available yet\n");
    return 2;
}
