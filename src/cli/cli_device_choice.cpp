// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_device_choice.h"

int FindDevice(const std::vector<std::string>& names, const std::string& wanted)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == wanted)
            return static_cast<int>(i);
    if (!wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos && wanted.size() < 9)
    {
        const int index = std::stoi(wanted);
        if (index < static_cast<int>(names.size()))
            return index;
    }
    return -1;
}
