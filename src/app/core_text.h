// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>

// The sound core speaks English, and stays Qt-free: its statuses and
// messages are fixed texts, or "I can't open|write|read <path>: <reason>".
// This is where the window puts them into the user's language: the fixed
// texts and the reasons are the keys (context "CCoreText"), the path is kept
// as it is. A text the translations do not know stays English.
class CCoreText
{
public:
    static QString Translate(const std::string& text);
};
