// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/answer_line.h"

#include <cstdio>

AnswerLine ReadAnswerLine(std::string& line)
{
    line.clear();
    bool tooLong = false;
    int c = 0;
    while ((c = getc_unlocked(stdin)) != EOF && c != '\n')
    {
        if (line.size() < kMaxAnswerChars)
            line.push_back(static_cast<char>(c));
        else
            tooLong = true;
    }
    if (c == EOF && line.empty() && !tooLong)
        return AnswerLine::Ended;
    if (tooLong)
    {
        line.clear();
        return AnswerLine::TooLong;
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.pop_back();
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.erase(line.begin());
    return AnswerLine::Read;
}
