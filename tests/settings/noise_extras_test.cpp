// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/noise_extras.h"
#include "settings/settings_file.h"
#include "settings_tables.h"
#include "synth/noise_type.h"
#include "testing/file_compare.h"
#include "testing/param_name.h"
#include "testing/temp_folder.h"

namespace
{

// Saves a table holding `setting` in slot 7 and loads it back.
NoiseSetting RoundTrip(const NoiseSetting& setting, std::vector<unsigned char>* bytes = nullptr)
{
    CTempFolder folder;
    Tables saved, loaded;
    saved.noise.m_slots[7] = setting;
    EXPECT_TRUE(SaveSettingsFile(saved.noise, folder / "ns.srx", 0));
    if (bytes != nullptr)
        *bytes = FormatSettingsFile(saved.noise, 0);
    EXPECT_EQ(LoadSettingsFile(loaded.noise, folder / "ns.srx").recordsKept, 1);
    return loaded.noise.m_slots[7];
}

// The check bytes below are CRC-8/SMBUS (polynomial 07, initial value 00, no
// reflection), computed apart from this code by an implementation that gives
// the catalogued check value F4 over "123456789".
struct BlockRow
{
    std::string name;
    NoiseExtras extras;
    unsigned char bytes[6];
};

using NoiseExtrasBlock = ::testing::TestWithParam<BlockRow>;

TEST_P(NoiseExtrasBlock, IsWrittenAsItsGoldenBytesReadFromThemAndSurvivesTheFile)
{
    const BlockRow& row = GetParam();
    NoiseSetting s = MakeNoise("Mine");
    WriteNoiseExtras(s, row.extras);
    EXPECT_TRUE(SameBytes(s.reserved2, row.bytes, 6));

    NoiseSetting golden = MakeNoise("Mine");
    std::memcpy(golden.reserved2, row.bytes, 6);
    EXPECT_EQ(ReadNoiseExtras(golden), row.extras);

    const NoiseSetting back = RoundTrip(golden);
    EXPECT_EQ(ReadNoiseExtras(back), row.extras);
    EXPECT_TRUE(SameBytes(&back, &golden, sizeof golden)) << "the record comes back byte for byte";
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, NoiseExtrasBlock,
    ::testing::Values(BlockRow{"endless", {true, false, 0.0}, {'S', 'x', 1, 1, 0, 0xA0}},
                      BlockRow{"half octave notch", {false, true, 0.5}, {'S', 'x', 1, 2, 1, 0x98}},
                      BlockRow{"one octave notch", {false, true, 1.0}, {'S', 'x', 1, 2, 2, 0x91}},
                      BlockRow{"endless with a half octave notch", {true, true, 0.5}, {'S', 'x', 1, 3, 1, 0x8D}},
                      BlockRow{"endless with a one octave notch", {true, true, 1.0}, {'S', 'x', 1, 3, 2, 0x84}},
                      BlockRow{"shaped to hearing", {.hearingShaped = true}, {'S', 'x', 1, 0x10, 0, 0xE2}},
                      BlockRow{"shaped endless with a half octave notch",
                               {.endless = true, .notch = true, .notchWidthOctaves = 0.5, .hearingShaped = true},
                               {'S', 'x', 1, 0x13, 1, 0xDA}}),
    RowName());

struct StrayBytes
{
    const char* name;
    unsigned char bytes[6];
    unsigned char ears[3] = {}; // reserved1, where stereo keeps the ears
};

using NoiseExtrasStray = ::testing::TestWithParam<StrayBytes>;

TEST_P(NoiseExtrasStray, ReadAsAllOffAndAreWrittenAsZeros)
{
    NoiseSetting s = MakeNoise("Mine");
    std::memcpy(s.reserved2, GetParam().bytes, 6);
    std::memcpy(s.reserved1, GetParam().ears, 3);
    EXPECT_EQ(ReadNoiseExtras(s), NoiseExtras{});
    const NoiseSetting back = RoundTrip(s);
    EXPECT_EQ(ReadNoiseExtras(back), NoiseExtras{});
    for (unsigned char b : back.reserved2)
        EXPECT_EQ(b, 0);
    for (unsigned char b : back.reserved1)
        EXPECT_EQ(b, 0);
}

// What another program might leave there, or the endless block with one part
// spoilt; where only one part is wrong the check byte fits the other five, so
// that the row fails on that part alone.
INSTANTIATE_TEST_SUITE_P(Blocks, NoiseExtrasStray,
                         ::testing::Values(StrayBytes{"padding", {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
                                           StrayBytes{"all ones", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
                                           StrayBytes{"flags without marker", {0, 0, 0, 1, 0, 0}},
                                           StrayBytes{"wrong check", {'S', 'x', 1, 1, 0, 0}},
                                           StrayBytes{"wrong first marker byte", {'T', 'x', 1, 1, 0, 0x89}},
                                           StrayBytes{"wrong second marker byte", {'S', 'y', 1, 1, 0, 0xB6}},
                                           StrayBytes{"unknown layout version", {'S', 'x', 2, 1, 0, 0x1D}},
                                           StrayBytes{"unknown flag", {'S', 'x', 1, 8, 0, 0x1D}},
                                           StrayBytes{"unknown flag above shaping", {'S', 'x', 1, 0x20, 0, 0x1B}},
                                           StrayBytes{"notch without width", {'S', 'x', 1, 2, 0, 0x9F}},
                                           StrayBytes{"notch of unknown width", {'S', 'x', 1, 2, 3, 0x96}},
                                           StrayBytes{"width without notch", {'S', 'x', 1, 1, 1, 0xA7}},
                                           StrayBytes{"brown with wrong check", {'S', 'x', 1, 4, 0, 0}},
                                           StrayBytes{"stereo ear below -60 dB", {'S', 'x', 1, 8, 0, 0x43}, {61, 0, 0}},
                                           StrayBytes{"stereo unknown tone ear", {'S', 'x', 1, 8, 0, 0x3A}, {0, 0, 3}}),
                         RowName());

// Stereo keeps the ears in reserved1 (offsets 1..3), and the check byte
// covers them after the block's first five bytes.
struct StereoRow
{
    std::string name;
    NoiseExtras extras;
    unsigned char ears[3];
    unsigned char block[6];
};

using NoiseExtrasStereo = ::testing::TestWithParam<StereoRow>;

TEST_P(NoiseExtrasStereo, IsWrittenAsItsGoldenBytesReadFromThemAndSurvivesTheFile)
{
    const StereoRow& row = GetParam();
    NoiseSetting s = MakeNoise("Mine");
    WriteNoiseExtras(s, row.extras);
    EXPECT_TRUE(SameBytes(s.reserved1, row.ears, 3));
    EXPECT_TRUE(SameBytes(s.reserved2, row.block, 6));

    NoiseSetting golden = MakeNoise("Mine");
    std::memcpy(golden.reserved1, row.ears, 3);
    std::memcpy(golden.reserved2, row.block, 6);
    EXPECT_EQ(ReadNoiseExtras(golden), row.extras);
    const NoiseSetting back = RoundTrip(golden);
    EXPECT_TRUE(SameBytes(&back, &golden, sizeof golden)) << "the record comes back byte for byte";
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, NoiseExtrasStereo,
    ::testing::Values(
        StereoRow{"stereo", {.stereo = {true, {0, -6}, ToneEar::Both}}, {0, 6, 0}, {'S', 'x', 1, 8, 0, 0x4D}},
        StereoRow{"endless stereo silent left quietest right tone right",
                  {.endless = true, .stereo = {true, {StereoSound::kSilent, -60}, ToneEar::Right}},
                  {255, 60, 2},
                  {'S', 'x', 1, 9, 0, 0x71}},
        StereoRow{
            "shaped stereo with a half octave notch",
            {.notch = true, .notchWidthOctaves = 0.5, .hearingShaped = true, .stereo = {true, {-20, 0}, ToneEar::Left}},
            {20, 0, 1},
            {'S', 'x', 1, 0x1A, 1, 0xDD}}),
    RowName());

TEST(NoiseExtras, StereoOffWritesNoEars)
{
    NoiseSetting s = MakeNoise("Mine");
    WriteNoiseExtras(s, NoiseExtras{.endless = true, .stereo = {false, {-6, -12}, ToneEar::Left}});
    EXPECT_EQ(ReadNoiseExtras(s), NoiseExtras{.endless = true});
    for (unsigned char b : s.reserved1)
        EXPECT_EQ(b, 0);
}

struct TypeRecordRow
{
    std::string name;
    int type;
    NoiseExtras extras;
    unsigned char typeByte; // record offset 0
    unsigned char block[6]; // record offsets 90..95
};

using NoiseTypeRecord = ::testing::TestWithParam<TypeRecordRow>;

// A setting stored as the window stores it: the type field and the block,
// saved, loaded and read back.
TEST_P(NoiseTypeRecord, IsStoredAsTheseBytesAndReadsBackAsItsType)
{
    const TypeRecordRow& row = GetParam();
    NoiseSetting s = MakeNoise("Mine");
    s.noiseType = RecordTypeOfNoise(row.type);
    NoiseExtras extras = row.extras;
    extras.brown = row.type == Brown;
    WriteNoiseExtras(s, extras);
    std::vector<unsigned char> bytes;
    const NoiseSetting back = RoundTrip(s, &bytes);
    ASSERT_EQ(bytes.size(), 12u + 96u);
    EXPECT_EQ(bytes[12], row.typeByte);
    EXPECT_TRUE(SameBytes(bytes.data() + 12 + 90, row.block, 6));
    EXPECT_EQ(NoiseTypeOfRecord(back), row.type);
    NoiseExtras read = ReadNoiseExtras(back);
    read.brown = false;
    EXPECT_EQ(read, row.extras);
}

// The CRCs are CRC-8/0x07 of the five bytes before them, worked out apart
// from the code.
INSTANTIATE_TEST_SUITE_P(
    Types, NoiseTypeRecord,
    ::testing::Values(
        TypeRecordRow{"pink as it always was", Pink, {}, 2, {0, 0, 0, 0, 0, 0}},
        TypeRecordRow{"brown is pink with its flag", Brown, {}, 2, {'S', 'x', 1, 4, 0, 0xE1}},
        TypeRecordRow{"endless brown", Brown, {true, false, 0.0}, 2, {'S', 'x', 1, 5, 0, 0xF4}},
        TypeRecordRow{"brown with a half octave notch", Brown, {false, true, 0.5}, 2, {'S', 'x', 1, 6, 1, 0xCC}},
        TypeRecordRow{"endless brown with an octave notch", Brown, {true, true, 1.0}, 2, {'S', 'x', 1, 7, 2, 0xD0}},
        TypeRecordRow{"endless white", White, {true, false, 0.0}, 1, {'S', 'x', 1, 1, 0, 0xA0}}),
    RowName());

TEST(NoiseExtras, OnlyPinkTurnsBrownAndNoStoredValueBeyondTheToneReadsAsAType)
{
    NoiseSetting s = MakeNoise("Mine");
    WriteNoiseExtras(s, NoiseExtras{.brown = true});
    s.noiseType = White;
    EXPECT_EQ(NoiseTypeOfRecord(s), White) << "the flag belongs to pink";
    for (const std::int8_t stored : {std::int8_t{4}, std::int8_t{-1}, std::int8_t{100}})
    {
        s.noiseType = stored;
        EXPECT_EQ(NoiseTypeOfRecord(s), -1) << int{stored};
    }
}

} // namespace
