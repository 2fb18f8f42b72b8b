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
    EXPECT_EQ(SaveSettingsFile(saved.noise, folder / "ns.srx", 0), "");
    if (bytes != nullptr)
        *bytes = FormatSettingsFile(saved.noise, 0);
    EXPECT_EQ(LoadSettingsFile(loaded.noise, folder / "ns.srx").recordsKept, 1);
    return loaded.noise.m_slots[7];
}

} // namespace

TEST(NoiseExtras, EndlessAndTheNotchSurviveSaveAndLoad)
{
    for (const NoiseExtras& extras :
         {NoiseExtras{true, false, 0.0}, NoiseExtras{false, true, 0.5}, NoiseExtras{true, true, 1.0}})
    {
        NoiseSetting s = MakeNoise("Mine");
        WriteNoiseExtras(s, extras);
        const NoiseSetting back = RoundTrip(s);
        EXPECT_EQ(ReadNoiseExtras(back), extras) << extras.endless << extras.notch << extras.notchWidthOctaves;
        EXPECT_TRUE(SameBytes(&back, &s, sizeof s)) << "the record comes back byte for byte";
    }
}

TEST(NoiseExtras, AllOffWritesTheRecordAsItAlwaysWas)
{
    NoiseSetting s = MakeNoise("Mine");
    WriteNoiseExtras(s, NoiseExtras{});
    std::vector<unsigned char> bytes;
    RoundTrip(s, &bytes);
    ASSERT_EQ(bytes.size(), 12u + 96u);
    for (int i = 90; i < 96; ++i)
        EXPECT_EQ(bytes[12 + i], 0) << "offset " << i;
    EXPECT_TRUE(SameBytes(bytes.data() + 12, &s, 96));
}

struct StrayBytes
{
    const char* name;
    unsigned char bytes[6];
};

using NoiseExtrasStray = ::testing::TestWithParam<StrayBytes>;

TEST_P(NoiseExtrasStray, ReadAsAllOffAndAreWrittenAsZeros)
{
    NoiseSetting s = MakeNoise("Mine");
    std::memcpy(s.reserved2, GetParam().bytes, 6);
    EXPECT_EQ(ReadNoiseExtras(s), NoiseExtras{});
    const NoiseSetting back = RoundTrip(s);
    EXPECT_EQ(ReadNoiseExtras(back), NoiseExtras{});
    for (unsigned char b : back.reserved2)
        EXPECT_EQ(b, 0);
}

// The valid endless block is 'S' 'x' 01 01 00 and its CRC-8; each row spoils
// one part of it, or is what another program might leave there.
INSTANTIATE_TEST_SUITE_P(Blocks, NoiseExtrasStray,
                         ::testing::Values(StrayBytes{"Padding", {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
                                           StrayBytes{"AllOnes", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
                                           StrayBytes{"FlagsWithoutMarker", {0, 0, 0, 1, 0, 0}},
                                           StrayBytes{"WrongCheck", {'S', 'x', 1, 1, 0, 0}},
                                           StrayBytes{"UnknownFlag", {'S', 'x', 1, 5, 0, 0}},
                                           StrayBytes{"NotchWithoutWidth", {'S', 'x', 1, 2, 0, 0}},
                                           StrayBytes{"BrownWithWrongCheck", {'S', 'x', 1, 4, 0, 0}}),
                         [](const ::testing::TestParamInfo<StrayBytes>& info) { return std::string(info.param.name); });

TEST(NoiseExtras, EndlessAloneIsWrittenAsItsMarkedBlock)
{
    NoiseSetting s = MakeNoise("Mine");
    WriteNoiseExtras(s, NoiseExtras{true, false, 0.0});
    EXPECT_TRUE(SameBytes(s.reserved2, "Sx\x01\x01\x00", 5));
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
    WriteNoiseExtras(s, NoiseExtras{false, false, 0.0, true});
    s.noiseType = White;
    EXPECT_EQ(NoiseTypeOfRecord(s), White) << "the flag belongs to pink";
    for (const std::int8_t stored : {std::int8_t{4}, std::int8_t{-1}, std::int8_t{100}})
    {
        s.noiseType = stored;
        EXPECT_EQ(NoiseTypeOfRecord(s), -1) << int{stored};
    }
}
