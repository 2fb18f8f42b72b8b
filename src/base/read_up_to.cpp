// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/read_up_to.h"

#include <cerrno>
#include <unistd.h>

std::size_t ReadUpTo(int fd, void* data, std::size_t capacity, int& error)
{
    auto* bytes = static_cast<unsigned char*>(data);
    std::size_t size = 0;
    error = 0;
    while (size < capacity)
    {
        const ssize_t got = ::read(fd, bytes + size, capacity - size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            error = errno;
        if (got <= 0)
            break;
        size += static_cast<std::size_t>(got);
    }
    return size;
}
