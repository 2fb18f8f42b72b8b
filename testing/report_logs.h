// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "base/message_reporter.h"
#include "base/progress_sink.h"
#include "base/status_sink.h"

// Sinks that record what the code under test reports, for the test to compare.

class CProgressLog : public IProgressSink
{
public:
    CProgressLog() { m_positions.reserve(64); } // so that posting never allocates
    void SetPos(int position) override { m_positions.push_back(position); }
    std::vector<int> m_positions;
};

class CStatusLog : public IStatusSink
{
public:
    void ShowStatus(const std::string& text) override { m_texts.push_back(text); }
    std::vector<std::string> m_texts;
};

class CMessageLog : public IMessageReporter
{
public:
    struct Message
    {
        std::string caption;
        std::string text;
        MessageIcon icon;
    };
    void Report(const std::string& caption, const std::string& text, MessageIcon icon) override
    {
        m_messages.push_back(Message{caption, text, icon});
    }
    std::vector<Message> m_messages;
};
