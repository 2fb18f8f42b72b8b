#pragma once

#include <cstddef>
#include <string_view>

// The byte-string fields of the setting records: a name of at most 49 bytes
// in a 50-byte field, a file name of at most 259 bytes in a 260-byte field.
// Texts are UTF-8; a cut to the field's room never splits a character.

inline constexpr std::size_t kNameFieldSize = 50;
inline constexpr std::size_t kFileNameFieldSize = 260;

// The text held in a field: its bytes up to the first zero byte, or the whole
// field when it holds none.
std::string_view FieldText(const char* field, std::size_t fieldSize);

template <std::size_t N>
std::string_view FieldText(const char (&field)[N])
{
    return FieldText(field, N);
}

// The length of the longest prefix of text of at most maxBytes bytes that ends
// on a UTF-8 character boundary. Bytes that are not UTF-8 are cut at maxBytes.
std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes);

// Stores text into a field of fieldSize bytes: cut to fieldSize - 1 bytes as
// Utf8CutLength does, zero-terminated, every byte after it zero.
void StoreFieldText(char* field, std::size_t fieldSize, std::string_view text);

// A setting's name into its 50-byte field (at most 49 bytes are kept).
template <std::size_t N>
void StoreName(char (&field)[N], std::string_view name)
{
    static_assert(N == kNameFieldSize);
    StoreFieldText(field, N, name);
}

// A sound file's path into its 260-byte field (at most 259 bytes are kept).
template <std::size_t N>
void StoreFileName(char (&field)[N], std::string_view fileName)
{
    static_assert(N == kFileNameFieldSize);
    StoreFieldText(field, N, fileName);
}

// Makes a field read from elsewhere hold a terminated text: a field without a
// zero byte is cut as StoreFieldText cuts; a terminated field is left as it is.
// Returns whether the field had to be cut.
bool TerminateField(char* field, std::size_t fieldSize);

// The order of the setting lists: ascending, without regard to case. ASCII
// letters compare as their lower-case forms; every other byte, including the
// bytes of non-ASCII UTF-8 characters, compares by its unsigned value (which
// for UTF-8 is code point order). A text that is a prefix of another comes
// first. Returns a negative number, zero or a positive number, like strcmp.
// Two names that differ only in the case of ASCII letters compare equal.
int CompareNamesNoCase(std::string_view a, std::string_view b);
