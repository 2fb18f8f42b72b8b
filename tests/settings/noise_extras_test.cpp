// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/noise_extras.h"
#include "settings/settings_file.h"
#include "settings_tables.h"
#include "testing/file_compare.h"
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
                                           StrayBytes{"NotchWithoutWidth", {'S', 'x', 1, 2, 0, 0}}),
                         [](const ::testing::TestParamInfo<StrayBytes>& info) { return std::string(info.param.name); });

TEST(NoiseExtras, EndlessAloneIsWrittenAsItsMarkedBlock)
{
    NoiseSetting s = MakeNoise("Mine");
    WriteNoiseExtras(s, NoiseExtras{true, false, 0.0});
    EXPECT_TRUE(SameBytes(s.reserved2, "Sx\x01\x01\x00", 5));
}
