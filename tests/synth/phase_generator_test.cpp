#include "synth/phase_generator.h"

#include <gtest/gtest.h>

TEST(PhaseGenerator, FirstDrawsOfARunAreFixed)
{
    CPhaseGenerator phases;
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int draw : expected)
        EXPECT_EQ(phases.Next(), draw);
}
