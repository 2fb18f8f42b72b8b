#include "settings/setting_text.h"

#include <cstring>

namespace
{

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Invalid UTF-8 bytes sort after every character, each by its value.
constexpr char32_t kInvalidByteBase = 0x110000;

// The code point that starts at text[at]; moves at past it. A byte that does
// not start a well-formed sequence stands for itself (kInvalidByteBase + b).
char32_t DecodeNext(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    int length = 0;
    char32_t cp = 0;
    if (lead < 0x80)
    {
        ++at;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        length = 2;
        cp = lead & 0x1F;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        cp = lead & 0x0F;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        cp = lead & 0x07;
    }
    if (length == 0 || at + static_cast<std::size_t>(length) > text.size())
    {
        ++at;
        return kInvalidByteBase + lead;
    }
    for (int i = 1; i < length; ++i)
    {
        const char c = text[at + static_cast<std::size_t>(i)];
        if (!IsContinuationByte(c))
        {
            ++at;
            return kInvalidByteBase + lead;
        }
        cp = cp << 6 | (static_cast<unsigned char>(c) & 0x3F);
    }
    at += static_cast<std::size_t>(length);
    return cp;
}

// Simple case folding for the letters that names are made of in practice:
// ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals become their
// small letters. Everything else is left as it is.
char32_t FoldCase(char32_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c < 0xC0)
        return c;
    if (c <= 0xDE)
        return c == 0xD7 ? c : c + 32;
    if (c >= 0x100 && c <= 0x17F)
    {
        if (c == 0x178)
            return 0xFF;
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool evenCapitals = (c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
        if ((oddCapitals && c % 2 == 1) || (evenCapitals && c % 2 == 0))
            return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return c + 32;
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    return c;
}

} // namespace

std::string_view FieldText(const char* field, std::size_t fieldSize)
{
    const void* zero = std::memchr(field, 0, fieldSize);
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : fieldSize;
    return std::string_view(field, length);
}

std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text.size();
    // text[maxBytes] is the first byte left out. While it continues a
    // character, that character began inside the kept part: cut before its
    // lead byte. A UTF-8 character has at most three continuation bytes, so a
    // longer run is not UTF-8 and is cut at the byte limit.
    std::size_t cut = maxBytes;
    for (int stepsBack = 0; stepsBack < 4; ++stepsBack)
    {
        if (!IsContinuationByte(text[cut]))
            return cut;
        if (cut == 0)
            break;
        --cut;
    }
    return maxBytes;
}

void StoreFieldText(char* field, std::size_t fieldSize, std::string_view text)
{
    if (fieldSize == 0)
        return;
    // A text from elsewhere may hold a zero byte; the field ends there anyway.
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos)
        text = text.substr(0, zero);
    const std::size_t length = Utf8CutLength(text, fieldSize - 1);
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, fieldSize - length);
}

bool TerminateField(char* field, std::size_t fieldSize)
{
    if (fieldSize == 0 || std::memchr(field, 0, fieldSize) != nullptr)
        return false;
    const std::size_t length = Utf8CutLength(std::string_view(field, fieldSize), fieldSize - 1);
    std::memset(field + length, 0, fieldSize - length);
    return true;
}

int CompareNamesNoCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size())
    {
        const char32_t x = FoldCase(DecodeNext(a, i));
        const char32_t y = FoldCase(DecodeNext(b, j));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i == a.size() && j == b.size())
        return 0;
    return i == a.size() ? -1 : 1;
}
