// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli play --endless through a real ALSA "file" device, read at the
// pace of a sound card: the periods follow each other without a gap.

#include <gtest/gtest.h>

#include <algorithm>

#include "testing/paced_capture.h"
#include "testing/temp_folder.h"

namespace {

constexpr std::size_t kPeriod = 262144;

TEST(CliPlayEndless, TwentySecondsPlayWithoutAGapOrARepeat)
{
    CTempFolder dir;
    CPacedCapture capture(dir / "capture.raw");
    WriteFileDeviceConfig(dir / "asound.conf", dir / "capture.raw");
    const std::string command = "env SUSURRA_BACKEND=alsa ALSA_CONFIG_PATH='" + dir / "asound.conf' " SUSURRA_CLI
                                " play --endless --type pink --surf-strength 0 --volume 461 --device default"
                                " --duration 00:00:20";
    ASSERT_EQ(RunShell(dir, command), 0) << ReadAll(dir / "err");
    capture.WaitQuiet();

    const std::vector<int16_t> got = capture.Copy();
    const auto first = std::find_if(got.begin(), got.end(), [](int16_t v) { return v != 0; });
    const auto last = std::find_if(got.rbegin(), got.rend(), [](int16_t v) { return v != 0; }).base();
    ASSERT_LT(first, last);
    ASSERT_GE(static_cast<std::size_t>(last - first), 19u * 44100u);
    int longest = 0;
    int run = 0;
    for (auto it = first; it != last; ++it) {
        run = *it == 0 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_LE(longest, 8);
    // Without surf a repeated period would come back sample for sample.
    EXPECT_FALSE(std::equal(first, first + kPeriod, first + kPeriod)) << "the second period repeats the first";
}

}  // namespace
