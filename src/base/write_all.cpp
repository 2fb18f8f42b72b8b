// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/write_all.h"

#include <cerrno>
#include <unistd.h>

bool WriteAll(int fd, const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0)
    {
        const ssize_t written = ::write(fd, p, size);
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
        {
            errno = EIO;
            return false;
        }
        p += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}
