#include "playback/playback_engine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "common/alloc_counter.h"
#include "playback/fake_wave_out.h"
#include "playback/engine_doubles.h"

namespace {

const WaveDeviceInfo kGood{"Speakers (built-in analogue stereo output)", true};
const WaveDeviceInfo kNoMono{"Old card", false};

struct EngineRig
{
    explicit EngineRig(std::vector<WaveDeviceInfo> devices = {kGood})
    {
        fake.SetDevices(std::move(devices));
    }
    void Start()
    {
        engine.InitDevices();
        fake.ClearCalls();
    }
    // Calls made since the last ClearCalls, by name, in order.
    std::vector<std::string> CallNames() const
    {
        std::vector<std::string> names;
        for (const CFakeWaveOut::Call& c : fake.Calls())
            names.push_back(c.name);
        return names;
    }
    // The samples a fresh shaper makes for the given halves in turn, from counter 0.
    std::vector<int16_t> Expected(int type, double strength, double period, std::initializer_list<int> halves)
    {
        std::vector<int16_t> out(CPlaybackEngine::kPeriodSamples);
        CSurfShaper shaper(generator.Source(), out.data());
        shaper.m_playedType = type;
        shaper.m_surfStrength = strength;
        shaper.m_surfPeriod = period;
        for (int h : halves)
            shaper.FillHalf(h);
        return out;
    }
    bool HalfEquals(int half, const std::vector<int16_t>& expected)
    {
        const int length = CSurfShaper::HalfLength(engine.PlayedType());
        const int start = half ? length : 0;
        return std::memcmp(engine.PlayBuffer() + start, expected.data() + start, length * 2) == 0;
    }

    CFakeWaveOut fake;
    CTestGenerator generator;
    CTestControls controls;
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine{fake, generator, controls, status, messages};
};

using Names = std::vector<std::string>;

TEST(PlaybackEngine, InitialisationListsUsableDevicesAndOpensTheFirst)
{
    EngineRig rig({kNoMono, kGood, {"USB headset", true}});
    rig.engine.InitDevices();
    EXPECT_EQ(rig.engine.DeviceNames(), (Names{kGood.name, "USB headset"}));
    EXPECT_TRUE(rig.engine.DeviceOpen());
    EXPECT_EQ(rig.fake.OpenDevice(), 1u);
    EXPECT_EQ(rig.engine.Volume(), 9);
    EXPECT_TRUE(rig.messages.m_messages.empty());
}

TEST(PlaybackEngine, PlayGeneratesFillsBothHalvesAndQueuesThem)
{
    EngineRig rig;
    rig.controls.m_params.surfStrength = 40;
    rig.Start();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.status.m_texts, (Names{"generating noise signal", "playing"}));
    EXPECT_EQ(rig.CallNames(), (Names{"UnprepareHeader", "UnprepareHeader", "PrepareHeader", "PrepareHeader",
                                      "Write", "Write"}));
    EXPECT_EQ(rig.engine.Header(0).bufferLengthBytes, 262144u);
    const auto queued = rig.fake.Queued();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0], &rig.engine.Header(0));
    EXPECT_EQ(queued[1], &rig.engine.Header(1));
    auto expected = rig.Expected(0, 40, 8, {0, 1});
    EXPECT_TRUE(rig.HalfEquals(0, expected));
    EXPECT_TRUE(rig.HalfEquals(1, expected));

    // Each completion refills the half just played, the surf phase running on.
    expected = rig.Expected(0, 40, 8, {0, 1, 0, 1, 0});
    ASSERT_TRUE(rig.fake.CompleteNext());
    ASSERT_TRUE(rig.fake.CompleteNext());
    ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_TRUE(rig.HalfEquals(0, expected));
    EXPECT_TRUE(rig.HalfEquals(1, expected));
    const auto calls = rig.fake.Calls();
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_TRUE(calls[6].fromNotification);
    EXPECT_EQ(calls[6].header, &rig.engine.Header(0));
    EXPECT_EQ(calls[7].header, &rig.engine.Header(1));
    EXPECT_EQ(calls[8].header, &rig.engine.Header(0));
}

TEST(PlaybackEngine, SecondPlayWithNothingChangedDoesNothing)
{
    EngineRig rig;
    rig.Start();
    rig.engine.OnPlay();
    rig.fake.ClearCalls();
    rig.engine.OnPlay();
    EXPECT_TRUE(rig.fake.Calls().empty());
    EXPECT_EQ(rig.generator.m_noiseCalls, 1);
    EXPECT_EQ(rig.status.m_texts.back(), "playing");
    EXPECT_EQ(rig.status.m_texts.size(), 2u);
}

TEST(PlaybackEngine, SurfChangeThenPlayRestartsSamePeriodFromTheStart)
{
    EngineRig rig;
    rig.Start();
    rig.engine.OnPlay();
    rig.fake.CompleteNext();
    rig.fake.ClearCalls();
    rig.controls.m_params.surfStrength = 70;
    rig.controls.m_params.surfPeriod = 2;
    rig.engine.MarkSurfChanged();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.generator.m_noiseCalls, 1);
    EXPECT_EQ(rig.CallNames(), (Names{"Reset", "UnprepareHeader", "UnprepareHeader", "Close", "Open", "SetVolume",
                                      "UnprepareHeader", "UnprepareHeader", "PrepareHeader", "PrepareHeader", "Write",
                                      "Write"}));
    const auto expected = rig.Expected(0, 70, 2, {0, 1});
    EXPECT_TRUE(rig.HalfEquals(0, expected));
    EXPECT_TRUE(rig.HalfEquals(1, expected));
    EXPECT_EQ(rig.status.m_texts.back(), "playing");
}

TEST(PlaybackEngine, TypeChangeThenPlayRegeneratesAndResizesTheHalves)
{
    EngineRig rig;
    rig.Start();
    rig.engine.OnPlay();
    auto preparedLength = [&] {
        uint32_t length = 0;
        for (const auto& c : rig.fake.Calls())
            if (std::strcmp(c.name, "PrepareHeader") == 0)
                length = c.value;
        return length;
    };
    EXPECT_EQ(preparedLength(), 262144u);

    rig.generator.m_ready = false;  // the window marks the signal stale
    rig.controls.m_params.noiseType = 3;
    rig.controls.m_params.tinnitusFreq = 440;
    rig.status.m_texts.clear();
    rig.fake.ClearCalls();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.generator.m_toneCalls, 1);
    EXPECT_EQ(rig.status.m_texts, (Names{"generating noise signal", "playing"}));
    EXPECT_EQ(preparedLength(), 44100u);
    EXPECT_EQ(rig.engine.PlayedType(), 3);
    EXPECT_TRUE(rig.HalfEquals(1, rig.Expected(3, 0, 8, {0, 1})));

    rig.controls.m_params.noiseType = 2;
    rig.fake.ClearCalls();
    rig.engine.OnPlay();  // the tone never counts as ready
    EXPECT_EQ(rig.generator.m_noiseCalls, 2);
    EXPECT_EQ(preparedLength(), 262144u);
}

TEST(PlaybackEngine, StopThenPlayStartsAtOnceWithoutRegenerating)
{
    EngineRig rig;
    rig.controls.m_params.surfStrength = 30;
    rig.Start();
    rig.engine.OnPlay();
    rig.fake.CompleteNext();
    rig.fake.ClearCalls();
    rig.engine.OnStop();
    EXPECT_EQ(rig.CallNames(), (Names{"Reset"}));
    EXPECT_TRUE(rig.fake.Queued().empty());
    EXPECT_EQ(rig.fake.CountCalls("Write"), 0);  // the halves handed back stay home
    EXPECT_EQ(rig.status.m_texts.back(), "nothing to do");

    rig.fake.ClearCalls();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.generator.m_noiseCalls, 1);
    EXPECT_EQ(rig.CallNames(), (Names{"Write", "Write"}));
    EXPECT_TRUE(rig.HalfEquals(0, rig.Expected(0, 30, 8, {0, 1})));

    // A completion that arrives after Stop queues nothing.
    rig.engine.OnStop();
    rig.fake.ClearCalls();
    CPlaybackEngine::WaveOutProc(1, WaveMessage::Done, &rig.engine, nullptr);
    EXPECT_TRUE(rig.fake.Calls().empty());
}

TEST(PlaybackEngine, VolumeWordsCarryTheLevelOnBothChannels)
{
    EngineRig rig;
    rig.Start();
    const std::pair<int, uint32_t> cases[] = {{0, 0u}, {9, 0x05010501u}, {230, 0x7FDB7FDBu}, {461, 0xFFFFFFFFu}};
    for (const auto& [position, word] : cases) {
        rig.fake.ClearCalls();
        rig.engine.SetVolume(position);
        const auto calls = rig.fake.Calls();
        ASSERT_EQ(calls.size(), 1u) << position;
        EXPECT_EQ(calls[0].value, word) << position;
    }
}

TEST(PlaybackEngine, NoUsableDeviceWarnsOnceAndPlayDoesNothing)
{
    EngineRig rig({kNoMono});
    rig.engine.InitDevices();
    ASSERT_EQ(rig.messages.m_messages.size(), 1u);
    EXPECT_EQ(rig.messages.m_messages[0].caption, "Warning");
    EXPECT_EQ(rig.messages.m_messages[0].text, "No audio mixer device found");
    EXPECT_EQ(rig.messages.m_messages[0].icon, MessageIcon::None);
    EXPECT_EQ(rig.fake.CountCalls("Open"), 0);  // no id was chosen, so nothing is tried
    EXPECT_TRUE(rig.engine.DeviceNames().empty());

    rig.fake.ClearCalls();
    rig.engine.OnPlay();
    rig.engine.SetVolume(100);
    EXPECT_TRUE(rig.fake.Calls().empty());
    EXPECT_TRUE(rig.status.m_texts.empty());
    EXPECT_EQ(rig.generator.m_noiseCalls, 0);
}

TEST(PlaybackEngine, FailedOpensLeaveNoDeviceAndPlayDoesNothing)
{
    // The first open fails.
    {
        EngineRig rig;
        rig.fake.FailOpen(0);
        rig.engine.InitDevices();
        ASSERT_EQ(rig.messages.m_messages.size(), 1u);
        EXPECT_EQ(rig.messages.m_messages[0].text, "I can't open the sound device");
        EXPECT_EQ(rig.messages.m_messages[0].icon, MessageIcon::Exclamation);
        rig.engine.OnPlay();
        EXPECT_EQ(rig.fake.CountCalls("Write"), 0);
    }
    // A change to a device that cannot be opened.
    {
        EngineRig rig({kGood, {"Broken", true}});
        rig.fake.FailOpen(1);
        rig.Start();
        rig.engine.OnPlay();
        rig.fake.ClearCalls();
        rig.engine.OnSelchangeSoundDevice(1);
        EXPECT_EQ(rig.CallNames(), (Names{"Reset", "UnprepareHeader", "UnprepareHeader", "Close", "Open"}));
        EXPECT_EQ(rig.messages.m_messages.back().text, "I can't open the sound device");
        EXPECT_FALSE(rig.engine.DeviceOpen());
        EXPECT_EQ(rig.status.m_texts.back(), "nothing to do");
        rig.fake.ClearCalls();
        rig.engine.OnPlay();
        rig.engine.OnStop();
        EXPECT_TRUE(rig.fake.Calls().empty());
        // Choosing a working device again makes Play work.
        rig.engine.OnSelchangeSoundDevice(0);
        EXPECT_TRUE(rig.engine.DeviceOpen());
        rig.engine.OnPlay();
        EXPECT_EQ(rig.fake.Queued().size(), 2u);
    }
    // The reopen of a Play restart fails.
    {
        EngineRig rig;
        rig.Start();
        rig.engine.OnPlay();
        rig.fake.FailNextOpens(1);
        rig.engine.MarkSurfChanged();
        rig.status.m_texts.clear();
        rig.fake.ClearCalls();
        rig.engine.OnPlay();
        EXPECT_EQ(rig.CallNames(), (Names{"Reset", "UnprepareHeader", "UnprepareHeader", "Close", "Open"}));
        EXPECT_EQ(rig.status.m_texts, (Names{"nothing to do"}));
        EXPECT_EQ(rig.messages.m_messages.back().text, "I can't open the sound device");
        EXPECT_FALSE(rig.engine.DeviceOpen());
        EXPECT_FALSE(rig.engine.IsPlaying());
    }
}

TEST(PlaybackEngine, DeviceFailureWhilePlayingStopsPlaybackCleanly)
{
    EngineRig rig;
    rig.Start();
    rig.engine.OnPlay();
    rig.fake.CompleteNext();
    rig.fake.BreakDevice();
    EXPECT_FALSE(rig.engine.IsPlaying());
    EXPECT_TRUE(rig.fake.Queued().empty());
    EXPECT_TRUE(rig.engine.OnCheckDevice());
    EXPECT_EQ(rig.status.m_texts.back(), "nothing to do");
    EXPECT_FALSE(rig.engine.OnCheckDevice());

    // Play on the dead device fails visibly instead of claiming to play.
    rig.engine.OnPlay();
    EXPECT_FALSE(rig.engine.IsPlaying());
    EXPECT_EQ(rig.status.m_texts.back(), "nothing to do");
    EXPECT_EQ(rig.messages.m_messages.back().text, "I can't open the sound device");

    rig.engine.OnStop();
    rig.engine.Shutdown();
    EXPECT_FALSE(rig.fake.IsOpen());
}

TEST(PlaybackEngine, FailedRequeueStopsAndTheNextPlayStartsClean)
{
    EngineRig rig;
    rig.Start();
    rig.engine.OnPlay();
    rig.fake.FailWrites(true);
    rig.fake.CompleteNext();  // the refill cannot queue its half
    EXPECT_FALSE(rig.engine.IsPlaying());
    ASSERT_EQ(rig.fake.Queued().size(), 1u);

    rig.fake.FailWrites(false);
    rig.fake.ClearCalls();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.CallNames(), (Names{"Reset", "Write", "Write"}));
    const auto queued = rig.fake.Queued();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0], &rig.engine.Header(0));
    EXPECT_EQ(queued[1], &rig.engine.Header(1));
    EXPECT_EQ(rig.status.m_texts.back(), "playing");
}

TEST(PlaybackEngine, RetunedToneIsPlayedAtOnce)
{
    EngineRig rig;
    rig.controls.m_params.noiseType = 3;
    rig.controls.m_params.tinnitusFreq = 440;
    rig.Start();
    rig.engine.OnPlay();
    rig.fake.ClearCalls();
    rig.engine.RetuneTone(1000.5);
    EXPECT_EQ(rig.CallNames(), (Names{"Reset", "Write", "Write"}));
    EXPECT_EQ(rig.generator.m_toneCalls, 2);
    // S = 0: the queued halves hold the new tone itself.
    EXPECT_EQ(std::memcmp(rig.engine.PlayBuffer(), rig.generator.Source(), 44100 * 2), 0);

    rig.engine.OnStop();
    rig.fake.ClearCalls();
    rig.engine.RetuneTone(500);  // not playing: nothing to retune
    EXPECT_TRUE(rig.fake.Calls().empty());
}

TEST(PlaybackEngine, ShutdownStopsBeforeClosing)
{
    EngineRig rig;
    rig.Start();
    rig.engine.OnPlay();
    rig.fake.ClearCalls();
    rig.engine.Shutdown();
    EXPECT_EQ(rig.CallNames(), (Names{"Reset", "UnprepareHeader", "UnprepareHeader", "Close"}));
    EXPECT_FALSE(rig.fake.IsOpen());
}

TEST(PlaybackEngine, RefillsDoNotAllocate)
{
    EngineRig rig;
    rig.Start();
    rig.engine.OnPlay();
    rig.fake.CompleteNext();
    CAllocScope scope;
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_EQ(scope.Allocations(), 0u);
}

// The threads meet: Stop races a refill in progress; new signals are made
// while refills run. Run under ThreadSanitizer, these prove the sharing safe.
TEST(PlaybackEngine, StopRacingARefillLosesNoBufferAndQueuesNothingAfter)
{
    EngineRig rig;
    rig.controls.m_params.noiseType = 3;
    rig.Start();
    for (int round = 0; round < 100; ++round) {
        rig.generator.m_ready = false;
        rig.engine.OnPlay();
        rig.fake.ClearCalls();
        rig.fake.CompleteNextAsync();
        rig.engine.OnStop();
        rig.fake.WaitIdle();
        EXPECT_TRUE(rig.fake.Queued().empty()) << round;
        const auto calls = rig.fake.Calls();
        bool afterReset = false;
        for (const auto& c : calls) {
            afterReset = afterReset || std::strcmp(c.name, "Reset") == 0;
            EXPECT_FALSE(afterReset && std::strcmp(c.name, "Write") == 0) << round;
        }
    }
}

TEST(PlaybackEngine, SignalsMadeWhilePlayingNeverTearARefill)
{
    EngineRig rig;
    rig.controls.m_params.surfStrength = 50;
    rig.Start();
    rig.engine.OnPlay();
    std::thread device([&] {
        for (int i = 0; i < 20; ++i)
            rig.fake.CompleteNext();
    });
    for (int i = 0; i < 5; ++i) {
        auto guard = rig.engine.LockSignal();
        rig.generator.Synthesize(1, 20, 20000);
    }
    for (int i = 0; i < 10; ++i)
        rig.engine.SetSurf(10.0 * i, 1 + i);
    device.join();
    EXPECT_TRUE(rig.engine.IsPlaying());
    EXPECT_EQ(rig.fake.Queued().size(), 2u);
}

TEST(PlaybackEngine, RetuningWhileRefillsRunIsSafe)
{
    EngineRig rig;
    rig.controls.m_params.noiseType = 3;
    rig.Start();
    rig.engine.OnPlay();
    std::thread device([&] {
        for (int i = 0; i < 40; ++i)
            rig.fake.CompleteNext();
    });
    for (int f = 400; f < 420; ++f)
        rig.engine.RetuneTone(f);
    device.join();
    rig.fake.WaitIdle();
    EXPECT_EQ(rig.fake.Queued().size(), 2u);
    EXPECT_TRUE(rig.engine.IsPlaying());
}

}  // namespace
