// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text from outside (a stored setting name, an argument, a path) made safe
// to print on a terminal: control characters, C0, DEL and C1 (as UTF-8),
// and bytes 80..BF outside a UTF-8 character become "\xNN", so that no
// stored text can send escape sequences. With maxChars, text of more
// characters (each such stray byte one) keeps its first maxChars and gets "…".
std::string PrintableText(std::string_view text, std::size_t maxChars = std::string_view::npos);

// An argument quoted back in a message: printable and at most 60 characters.
inline std::string ArgumentText(std::string_view text)
{
    return PrintableText(text, 60);
}
