// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int FinishStandardOutput(int status)
{
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    // An earlier write may have failed with the buffer flushed since: the
    // stream keeps that in its error flag, but not the reason.
    if (flushed && !std::ferror(stdout))
        return status;
    if (!flushed && error != 0)
        std::fprintf(stderr, "susurra-cli: I can't write standard output: %s\n", std::strerror(error));
    else
        std::fprintf(stderr, "susurra-cli: I can't write standard output\n");
    return status == 0 ? 1 : status;
}
