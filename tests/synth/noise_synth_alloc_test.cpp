// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "synth/noise_synth.h"
#include "synth/noise_type.h"
#include "testing/alloc_counter.h"

TEST(NoiseSynthAllocation, SynthesisAndToneAllocateNothing)
{
    struct : IProgressSink
    {
        void SetPos(int) override {}
    } progress;
    CNoiseSynth synth;
    synth.m_progress = &progress;
    CAllocScope scope;
    for (int type : {Physiological, White, Pink, Brown})
        synth.Synthesize(type, 20, 20000);
    synth.SynthesizeTone(440);
    EXPECT_EQ(scope.Allocations(), 0u);
}
