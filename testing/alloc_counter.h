// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// Counts calls of the global operator new (which the array forms call too) in
// the test executable that links alloc_counter.cpp. Used to prove that hot
// paths never allocate.
std::size_t AllocationCount();

// Number of allocations made while this object lived.
class CAllocScope
{
public:
    CAllocScope() : m_start(AllocationCount()) {}
    std::size_t Allocations() const { return AllocationCount() - m_start; }

private:
    std::size_t m_start;
};
