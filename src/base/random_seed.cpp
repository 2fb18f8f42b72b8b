// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/random_seed.h"

#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

uint64_t DrawRandomSeed()
{
    uint64_t seed = 0;
    ssize_t got = 0;
    do
        got = ::getrandom(&seed, sizeof seed, 0);
    while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof seed))
        return seed;
    return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) * 0x9E3779B97F4A7C15ULL
           ^ static_cast<uint64_t>(::getpid());
}
