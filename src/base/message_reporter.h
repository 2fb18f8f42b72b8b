#pragma once

#include <string>

enum class MessageIcon
{
    None,
    Exclamation,
    Information,
    Error,
};

// Shows a warning to the user: the window turns it into a message box,
// the command line prints it on standard error.
class IMessageReporter
{
public:
    virtual ~IMessageReporter() = default;
    virtual void Report(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
};
