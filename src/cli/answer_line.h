// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

// Every answer of the interactive commands is a character or two; a longer
// line is no answer, and keeping it whole would let one line take any amount
// of memory.
inline constexpr size_t kMaxAnswerChars = 256;

enum class AnswerLine
{
    Read,
    TooLong, // the line was read to its end, and only its start kept
    Ended,   // no line: the input ended
};

// Reads one line from standard input into line, without its newline and
// without blanks at either end (and a carriage return at its end), keeping
// at most kMaxAnswerChars characters. A line that was too long comes back
// empty, for the caller's hint.
AnswerLine ReadAnswerLine(std::string& line);
