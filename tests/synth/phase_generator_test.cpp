#include "synth/phase_generator.h"

#include <algorithm>

#include <gtest/gtest.h>

TEST(PhaseGenerator, FirstDrawsOfARunAreFixed)
{
    CPhaseGenerator phases;
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int draw : expected)
        EXPECT_EQ(phases.Next(), draw);
}

TEST(PhaseGenerator, DrawsStayWithin15Bits)
{
    CPhaseGenerator phases;
    int highest = 0;
    for (int i = 0; i < 100000; ++i)
        highest = std::max(highest, phases.Next());
    EXPECT_EQ(highest, 32767);
}
