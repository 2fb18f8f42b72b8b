// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// Reads from the descriptor until `capacity` bytes are in `data` or the end
// of the file, going on after short and interrupted reads. Returns how many
// bytes were read; `error` is the errno of a failed read, else 0. A caller
// that must tell a file too large asks for one byte more than it keeps.
std::size_t ReadUpTo(int fd, void* data, std::size_t capacity, int& error);
