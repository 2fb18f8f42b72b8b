// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Shows the program status text ("nothing to do", "playing", ...). The window
// writes it into its status line; the command line prints it. Called on the
// UI thread only.
class IStatusSink
{
public:
    virtual ~IStatusSink() = default;
    virtual void ShowStatus(const std::string& text) = 0;
};
