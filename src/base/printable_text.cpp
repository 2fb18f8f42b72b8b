// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/printable_text.h"

#include <cstdio>

namespace
{

// How many continuation bytes follow a UTF-8 lead byte.
int ContinuationsAfter(unsigned char lead)
{
    return lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
}

} // namespace

std::string PrintableText(std::string_view text, std::size_t maxChars)
{
    std::string out;
    std::size_t characters = 0;
    int pending = 0; // continuation bytes the current character still has
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool continuation = (c & 0xC0) == 0x80 && pending > 0;
        // A continuation byte outside a character stands alone: it counts, or
        // a text of nothing else would never be shortened, and is escaped, as
        // 9B is CSI to a terminal that is not in UTF-8.
        const bool stray = (c & 0xC0) == 0x80 && pending == 0;
        pending = continuation ? pending - 1 : ContinuationsAfter(c);
        if (!continuation && characters++ == maxChars)
        {
            out += "\xE2\x80\xA6"; // …
            break;
        }
        // C1 controls are U+0080..U+009F, encoded C2 80..C2 9F.
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
                        && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c < 0x20 || c == 0x7F || c1 || stray)
        {
            char escaped[16];
            if (c1)
            {
                std::snprintf(escaped, sizeof escaped, "\\xC2\\x%02X", static_cast<unsigned char>(text[++i]));
                pending = 0;
            }
            else
            {
                std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            }
            out += escaped;
        }
        else
        {
            out += static_cast<char>(c);
        }
    }
    return out;
}
