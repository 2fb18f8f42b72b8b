#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// One named set of file parameters. The layout is the settings file's record
// layout, byte for byte, with little-endian integers.
struct FileSetting
{
    std::int32_t fadeIn;      // whole seconds
    std::int32_t fadeOut;     // whole seconds
    std::int32_t hours;       // total playing time, 0..23, or -1 when it was not valid
    std::int32_t minutes;     // 0..59 or -1
    std::int32_t seconds;     // 0..59 or -1
    char name[50];            // at most 49 bytes, zero-terminated, rest zero
    char fileName[260];       // at most 259 bytes, zero-terminated; may be empty
    std::uint8_t reserved[2]; // no meaning; written as zero
};

static_assert(std::endian::native == std::endian::little, "records are stored in memory order");
static_assert(sizeof(FileSetting) == 332);
static_assert(offsetof(FileSetting, fadeIn) == 0);
static_assert(offsetof(FileSetting, fadeOut) == 4);
static_assert(offsetof(FileSetting, hours) == 8);
static_assert(offsetof(FileSetting, minutes) == 12);
static_assert(offsetof(FileSetting, seconds) == 16);
static_assert(offsetof(FileSetting, name) == 20);
static_assert(offsetof(FileSetting, fileName) == 70);
static_assert(offsetof(FileSetting, reserved) == 330);
