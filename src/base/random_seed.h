// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// A fresh 64-bit seed from the system's random source; without one, the
// clock and the process id, which still differ from run to run.
uint64_t DrawRandomSeed();
