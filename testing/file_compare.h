// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

// Byte comparison of files and buffers whose failure names the first byte
// that differs and both its values ("byte 4097: 0x3a != 0x3b"), and the
// sizes when they differ, instead of "Expected: true".
inline ::testing::AssertionResult SameBytes(std::string_view got, std::string_view expected)
{
    const std::size_t common = std::min(got.size(), expected.size());
    std::size_t at = 0;
    while (at < common && got[at] == expected[at])
        ++at;
    if (at == common && got.size() == expected.size())
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    if (got.size() != expected.size())
        failure << "sizes " << got.size() << " != " << expected.size() << "; ";
    if (at == common)
    {
        failure << "the first " << common << " bytes agree";
    }
    else
    {
        char text[64];
        std::snprintf(text, sizeof text, "byte %zu: 0x%02x != 0x%02x", at, static_cast<unsigned char>(got[at]),
                      static_cast<unsigned char>(expected[at]));
        failure << text;
    }
    return failure;
}

inline ::testing::AssertionResult SameBytes(const void* got, const void* expected, std::size_t size)
{
    return SameBytes(std::string_view(static_cast<const char*>(got), size),
                     std::string_view(static_cast<const char*>(expected), size));
}

// The bytes of a vector of samples or records, for SameBytes.
template <class T>
std::string_view BytesOf(const std::vector<T>& values)
{
    return {reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T)};
}
