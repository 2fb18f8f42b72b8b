// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

// Zero-filled arrays of plain values from calloc. Large ones come straight
// from the kernel's zero pages, so a buffer costs nothing until it is used;
// new T[n]() writes every page at once, which the window's start pays for.
struct CFreeDeleter
{
    void operator()(void* memory) const noexcept { std::free(memory); }
};

template <class T>
using ZeroedArray = std::unique_ptr<T[], CFreeDeleter>;

template <class T>
ZeroedArray<T> MakeZeroedArray(std::size_t count)
{
    static_assert(std::is_trivial_v<T>);
    void* memory = std::calloc(count, sizeof(T));
    if (memory == nullptr)
        throw std::bad_alloc();
    return ZeroedArray<T>(static_cast<T*>(memory));
}
