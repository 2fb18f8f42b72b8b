#include "settings/setting_text.h"

#include <cstring>

namespace {

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

unsigned char FoldAscii(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

}  // namespace

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
    for (int stepsBack = 0; stepsBack < 4; ++stepsBack) {
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
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = FoldAscii(a[i]);
        const unsigned char y = FoldAscii(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}
