// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/noise_extras.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "synth/noise_type.h"

namespace
{

constexpr std::uint8_t kMarker[3] = {'S', 'x', 0x01};
constexpr std::uint8_t kEndlessFlag = 0x01;
constexpr std::uint8_t kNotchFlag = 0x02;
constexpr std::uint8_t kBrownFlag = 0x04;
constexpr std::uint8_t kStereoFlag = 0x08;
constexpr std::uint8_t kHearingShapedFlag = 0x10;
constexpr std::uint8_t kKnownFlags = kEndlessFlag | kNotchFlag | kBrownFlag | kStereoFlag | kHearingShapedFlag;
constexpr std::uint8_t kSilentEar = 255;
constexpr std::uint8_t kHalfOctave = 1;
constexpr std::uint8_t kOneOctave = 2;

std::uint8_t Crc8(const std::uint8_t* bytes, int count, std::uint8_t crc = 0)
{
    for (int i = 0; i < count; ++i)
    {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint8_t>((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

// The block's check: over its first five bytes and, with stereo, the ears.
std::uint8_t BlockCheck(const NoiseSetting& setting)
{
    const std::uint8_t crc = Crc8(setting.reserved2, 5);
    return (setting.reserved2[3] & kStereoFlag) ? Crc8(setting.reserved1, 3, crc) : crc;
}

std::uint8_t EarByte(int levelDb)
{
    if (levelDb <= StereoSound::kSilent)
        return kSilentEar;
    return static_cast<std::uint8_t>(-std::clamp(levelDb, StereoSound::kMinLevelDb, StereoSound::kMaxLevelDb));
}

std::optional<int> EarLevel(std::uint8_t byte)
{
    if (byte == kSilentEar)
        return StereoSound::kSilent;
    if (byte > -StereoSound::kMinLevelDb)
        return std::nullopt;
    return -static_cast<int>(byte);
}

std::optional<StereoSound> ReadStereo(const NoiseSetting& setting)
{
    const std::optional<int> left = EarLevel(setting.reserved1[0]);
    const std::optional<int> right = EarLevel(setting.reserved1[1]);
    const std::uint8_t ear = setting.reserved1[2];
    if (!left || !right || ear > static_cast<std::uint8_t>(ToneEar::Right))
        return std::nullopt;
    return StereoSound{true, {*left, *right}, static_cast<ToneEar>(ear)};
}

} // namespace

NoiseExtras ReadNoiseExtras(const NoiseSetting& setting)
{
    const std::uint8_t* b = setting.reserved2;
    const std::uint8_t flags = b[3];
    const std::uint8_t width = b[4];
    const bool notch = (flags & kNotchFlag) != 0;
    const bool valid = std::memcmp(b, kMarker, sizeof kMarker) == 0 && (flags & ~kKnownFlags) == 0
                       && (notch ? (width == kHalfOctave || width == kOneOctave) : width == 0)
                       && BlockCheck(setting) == b[5];
    const std::optional<StereoSound> stereo =
        (flags & kStereoFlag) ? ReadStereo(setting) : std::optional<StereoSound>(StereoSound{});
    if (!valid || !stereo)
        return {};
    NoiseExtras extras;
    extras.endless = (flags & kEndlessFlag) != 0;
    extras.notch = notch;
    extras.hearingShaped = (flags & kHearingShapedFlag) != 0;
    extras.notchWidthOctaves = !notch ? 0.0 : width == kHalfOctave ? 0.5 : 1.0;
    extras.brown = (flags & kBrownFlag) != 0;
    extras.stereo = *stereo;
    return extras;
}

void WriteNoiseExtras(NoiseSetting& setting, const NoiseExtras& extras)
{
    std::uint8_t* b = setting.reserved2;
    std::memset(b, 0, sizeof setting.reserved2);
    std::memset(setting.reserved1, 0, sizeof setting.reserved1);
    if (!extras.endless && !extras.notch && !extras.brown && !extras.hearingShaped && !extras.stereo.on)
        return;
    std::memcpy(b, kMarker, sizeof kMarker);
    b[3] = static_cast<std::uint8_t>((extras.endless ? kEndlessFlag : 0) | (extras.notch ? kNotchFlag : 0)
                                     | (extras.brown ? kBrownFlag : 0) | (extras.stereo.on ? kStereoFlag : 0)
                                     | (extras.hearingShaped ? kHearingShapedFlag : 0));
    b[4] = !extras.notch ? 0 : extras.notchWidthOctaves == 0.5 ? kHalfOctave : kOneOctave;
    if (extras.stereo.on)
    {
        setting.reserved1[0] = EarByte(extras.stereo.earLevelDb[0]);
        setting.reserved1[1] = EarByte(extras.stereo.earLevelDb[1]);
        setting.reserved1[2] = static_cast<std::uint8_t>(extras.stereo.toneEar);
    }
    b[5] = BlockCheck(setting);
}

int NoiseTypeOfRecord(const NoiseSetting& setting)
{
    const int stored = setting.noiseType;
    if (stored < Physiological || stored > TinnitusFinder)
        return -1;
    return stored == Pink && ReadNoiseExtras(setting).brown ? Brown : stored;
}

std::int8_t RecordTypeOfNoise(int type)
{
    return static_cast<std::int8_t>((type == Brown ? Pink : type) & 0xFF);
}
