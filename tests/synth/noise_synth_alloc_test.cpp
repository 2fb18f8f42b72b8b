#include <gtest/gtest.h>

#include "common/alloc_counter.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"

namespace {

class CLastPosition : public IProgressSink
{
public:
    void SetPos(int position) override { m_last = position; }
    int m_last = -1;
};

TEST(NoiseSynthAllocation, SynthesisAndToneAllocateNothing)
{
    CNoiseSynth synth;
    CLastPosition progress;
    synth.m_progress = &progress;
    CAllocScope scope;
    synth.Synthesize(Physiological, 20, 20000);
    synth.Synthesize(White, 20, 20000);
    synth.Synthesize(Pink, 20, 20000);
    synth.SynthesizeTone(440);
    EXPECT_EQ(scope.Allocations(), 0u);
    EXPECT_EQ(progress.m_last, 100);
}

} // namespace
