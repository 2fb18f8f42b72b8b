// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>

#include "base/printable_text.h"
#include "base/message_reporter.h"

// Prints the core's warnings on standard error, where the window would show
// them in message boxes.
class CStderrReporter : public IMessageReporter
{
public:
    void Report(const std::string&, const std::string& text, MessageIcon) override
    {
        std::fprintf(stderr, "susurra-cli: %s\n", PrintableText(text).c_str());
    }
};
