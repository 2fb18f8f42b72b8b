// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// Writes all `size` bytes to the descriptor, going on after short writes and
// interrupted calls. Returns false with errno set when the bytes cannot all
// be written; a write() that takes nothing sets EIO rather than loop forever.
bool WriteAll(int fd, const void* data, std::size_t size);
