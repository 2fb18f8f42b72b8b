// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <unistd.h>

// The system calls of a file replacement whose failure is hard to bring
// about on a real disk, so that tests can make them fail.
struct FileSystemCalls
{
    int (*fsync)(int fd) = ::fsync;
    int (*rename)(const char* from, const char* to) = ::rename;
};
