// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The device list entry for --device: its index or its full name; -1 when
// none fits.
int FindDevice(const std::vector<std::string>& names, const std::string& wanted);
