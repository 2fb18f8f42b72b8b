#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// One named set of noise parameters. The layout is the settings file's record
// layout, byte for byte: little-endian integers, IEEE 754 binary64 reals.
struct NoiseSetting
{
    std::int8_t noiseType;          // a NoiseType value, 0..3
    std::uint8_t reserved1[3];      // no meaning; written as zero
    std::int32_t tinnitusFrequency; // Hz
    double lowerLimit;              // Hz
    double upperLimit;              // Hz
    double surfStrength;            // percent
    double surfPeriod;              // seconds
    char name[50];                  // at most 49 bytes, zero-terminated, rest zero
    std::uint8_t reserved2[6];      // no meaning; written as zero
};

static_assert(std::endian::native == std::endian::little, "records are stored in memory order");
static_assert(sizeof(double) == 8);
static_assert(sizeof(NoiseSetting) == 96);
static_assert(offsetof(NoiseSetting, noiseType) == 0);
static_assert(offsetof(NoiseSetting, tinnitusFrequency) == 4);
static_assert(offsetof(NoiseSetting, lowerLimit) == 8);
static_assert(offsetof(NoiseSetting, upperLimit) == 16);
static_assert(offsetof(NoiseSetting, surfStrength) == 24);
static_assert(offsetof(NoiseSetting, surfPeriod) == 32);
static_assert(offsetof(NoiseSetting, name) == 40);
static_assert(offsetof(NoiseSetting, reserved2) == 90);
