// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/playback_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#include "playback/fade_curve.h"
#include "playback/noise_synth_generator.h"
#include "synth/ear_gain.h"
#include "synth/noise_synth.h"
#include "testing/file_compare.h"
#include "testing/alloc_counter.h"
#include "testing/engine_doubles.h"
#include "testing/fake_wave_out.h"
#include "testing/param_name.h"
#include "testing/sound_level.h"
#include "testing/stereo_frames.h"

namespace
{

using Names = std::vector<std::string>;
const WaveDeviceInfo kGood{"Speakers (built-in analogue stereo output)", true};
const WaveDeviceInfo kNoMono{"Old card", false};
const Names kRestart = {"Reset", "UnprepareHeader", "UnprepareHeader", "Close", "Open"};
const Names kStart = {"UnprepareHeader", "UnprepareHeader", "PrepareHeader", "PrepareHeader", "Write", "Write"};

struct EngineRig
{
    explicit EngineRig(std::vector<WaveDeviceInfo> devices = {kGood}, int type = 0, double strength = 0)
    {
        fake.SetDevices(std::move(devices));
        controls.m_params.noiseType = type;
        controls.m_params.surfStrength = strength;
        right.m_noiseCalls = 4; // another period than the left one's
    }
    // Opens the first device and plays; the logs start empty afterwards.
    void Start(bool play = true)
    {
        engine.InitDevices();
        if (play)
            engine.OnPlay();
        Clear();
    }
    void Clear()
    {
        fake.ClearCalls();
        status.m_texts.clear();
    }
    Names CallNames() const
    {
        Names names;
        for (const CFakeWaveOut::Call& c : fake.Calls())
            names.push_back(c.name);
        return names;
    }
    // Whether both halves hold what a fresh shaper makes for the given fills in turn.
    ::testing::AssertionResult Holds(double strength, double period, std::initializer_list<int> halves)
    {
        std::vector<int16_t> out(CPlaybackEngine::kPeriodSamples);
        CSurfShaper shaper(generator.Source(), out.data());
        shaper.m_playedType = engine.PlayedType();
        shaper.m_surfStrength = strength;
        shaper.m_surfPeriod = period;
        for (int h : halves)
            shaper.FillHalf(h);
        return SameBytes(engine.PlayBuffer(), out.data(), CSurfShaper::HalfLength(engine.PlayedType()) * 4);
    }
    bool BothQueuedInOrder() const
    {
        return fake.Queued() == std::vector<const WaveHeader*>{&engine.Header(0), &engine.Header(1)};
    }
    std::string LastMessage() const { return messages.m_messages.empty() ? "" : messages.m_messages.back().text; }

    CFakeWaveOut fake;
    CTestGenerator generator;
    // Every mono test runs with the right ear's generator present too.
    CTestGenerator right;
    CTestControls controls;
    CStatusLog status;
    // Keeps the status line as it reads while each message box is up.
    struct CMessages : CMessageLog
    {
        explicit CMessages(const CStatusLog& shown) : m_shown(shown) {}
        void Report(const std::string& caption, const std::string& text, MessageIcon icon) override
        {
            m_statusAtReport.push_back(m_shown.m_texts.empty() ? "" : m_shown.m_texts.back());
            CMessageLog::Report(caption, text, icon);
        }
        const CStatusLog& m_shown;
        std::vector<std::string> m_statusAtReport;
    } messages{status};
    CPlaybackEngine engine{fake, generator, controls, status, messages, &right};
};

TEST(PlaybackEngine, PlayQueuesBothHalvesEachCompletionRefillsAndASecondPlayDoesNothing)
{
    EngineRig rig({kGood}, 0, 40);
    rig.Start(false);
    rig.engine.OnPlay();
    EXPECT_EQ(rig.status.m_texts, (Names{"generating noise signal", "playing"}));
    EXPECT_EQ(rig.CallNames(), kStart);
    EXPECT_EQ(rig.engine.Header(0).bufferLengthBytes, 262144u);
    EXPECT_TRUE(rig.BothQueuedInOrder());
    EXPECT_TRUE(rig.Holds(40, 8, {0, 1}));

    // Each completion refills the half just played, the surf phase running on,
    // without allocating.
    CAllocScope scope;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_EQ(scope.Allocations(), 0u);
    EXPECT_TRUE(rig.Holds(40, 8, {0, 1, 0, 1, 0}));
    const auto calls = rig.fake.Calls();
    ASSERT_EQ(calls.size(), 9u);
    for (int i = 6; i < 9; ++i)
        EXPECT_TRUE(calls[i].fromNotification && calls[i].header == &rig.engine.Header(i % 2)) << i;

    rig.Clear();
    rig.engine.OnPlay();
    EXPECT_TRUE(rig.fake.Calls().empty());
    EXPECT_EQ(rig.generator.m_noiseCalls, 1);
    EXPECT_TRUE(rig.status.m_texts.empty());

    rig.engine.Shutdown();
    EXPECT_EQ(rig.CallNames(), (Names{"Reset", "UnprepareHeader", "UnprepareHeader", "Close"}));
}

TEST(PlaybackEngine, SurfChangeThenPlayRestartsSamePeriodFromTheStart)
{
    EngineRig rig;
    rig.Start();
    rig.fake.CompleteNext();
    rig.Clear();
    rig.controls.m_params.surfStrength = 70;
    rig.controls.m_params.surfPeriod = 2;
    rig.engine.MarkSurfChanged();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.generator.m_noiseCalls, 1);
    Names expected = kRestart;
    expected.push_back("SetVolume");
    expected.insert(expected.end(), kStart.begin(), kStart.end());
    EXPECT_EQ(rig.CallNames(), expected);
    EXPECT_TRUE(rig.Holds(70, 2, {0, 1}));
    EXPECT_EQ(rig.status.m_texts, (Names{"playing"}));
}

TEST(PlaybackEngine, TypeChangeThenPlayRegeneratesAndResizesTheHalves)
{
    EngineRig rig;
    rig.Start();
    rig.generator.m_ready = false; // the window marks the signal stale
    rig.controls.m_params.noiseType = 3;
    rig.controls.m_params.tinnitusFreq = 440;
    rig.engine.OnPlay();
    EXPECT_EQ(rig.generator.m_toneCalls, 1);
    EXPECT_EQ(rig.status.m_texts, (Names{"generating noise signal", "playing"}));
    EXPECT_EQ(rig.engine.Header(1).bufferLengthBytes, 44100u);
    EXPECT_EQ(rig.engine.PlayedType(), 3);
    EXPECT_TRUE(rig.Holds(0, 8, {0, 1}));

    rig.controls.m_params.noiseType = 2;
    rig.engine.OnPlay(); // the tone never counts as ready
    EXPECT_EQ(rig.generator.m_noiseCalls, 2);
    EXPECT_EQ(rig.engine.Header(1).bufferLengthBytes, 262144u);
}

TEST(PlaybackEngine, StopThenPlayStartsAtOnceAndACompletionAfterStopQueuesNothing)
{
    EngineRig rig({kGood}, 0, 30);
    rig.Start();
    rig.fake.CompleteNext();
    rig.Clear();
    rig.engine.OnStop();
    EXPECT_EQ(rig.CallNames(), (Names{"Reset"})); // the halves handed back stay home
    EXPECT_TRUE(rig.fake.Queued().empty());
    EXPECT_EQ(rig.status.m_texts, (Names{"nothing to do"}));

    rig.fake.ClearCalls();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.generator.m_noiseCalls, 1);
    EXPECT_EQ(rig.CallNames(), (Names{"Write", "Write"}));
    EXPECT_TRUE(rig.Holds(30, 8, {0, 1}));

    rig.engine.OnStop();
    rig.fake.ClearCalls();
    CPlaybackEngine::WaveOutProc(1, WaveMessage::Done, &rig.engine, nullptr);
    EXPECT_TRUE(rig.fake.Calls().empty());
}

TEST(PlaybackEngine, VolumeWordsCarryTheLevelOnBothChannels)
{
    EngineRig rig;
    rig.Start(false);
    for (const auto& [position, word] : {std::pair{0, 0u}, {9, 0x05010501u}, {230, 0x7FDB7FDBu}, {461, 0xFFFFFFFFu}})
    {
        rig.engine.SetVolume(position);
        EXPECT_EQ(rig.fake.Volume(), word) << position;
    }
}

TEST(PlaybackEngine, InitialisationOpensTheFirstUsableDeviceOrWarnsOnceAndPlayDoesNothing)
{
    EngineRig usable({kNoMono, kGood, {"USB headset", true}});
    usable.engine.InitDevices();
    EXPECT_EQ(usable.engine.DeviceNames(), (Names{kGood.name, "USB headset"}));
    EXPECT_EQ(usable.fake.OpenDevice(), 1u);
    EXPECT_EQ(usable.engine.Volume(), 9);
    EXPECT_TRUE(usable.messages.m_messages.empty());

    EngineRig rig({kNoMono});
    rig.engine.InitDevices();
    ASSERT_EQ(rig.messages.m_messages.size(), 1u);
    EXPECT_EQ(rig.messages.m_messages[0].caption, "Warning");
    EXPECT_EQ(rig.messages.m_messages[0].text, "No audio mixer device found");
    EXPECT_EQ(rig.messages.m_messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(rig.engine.DeviceNames().empty());
    EXPECT_EQ(rig.fake.CountCalls("Open"), 0) << "no id was chosen, so nothing is tried";
    rig.fake.ClearCalls();
    rig.engine.OnPlay();
    rig.engine.SetVolume(100);
    EXPECT_TRUE(rig.fake.Calls().empty());
    EXPECT_TRUE(rig.status.m_texts.empty());
    EXPECT_EQ(rig.generator.m_noiseCalls, 0);

    EngineRig failing;
    failing.fake.FailOpen(0);
    failing.engine.InitDevices();
    ASSERT_EQ(failing.messages.m_messages.size(), 1u);
    EXPECT_EQ(failing.LastMessage(), "I can't open the sound device");
    EXPECT_EQ(failing.messages.m_messages[0].icon, MessageIcon::Exclamation);
    failing.engine.OnPlay();
    EXPECT_EQ(failing.fake.CountCalls("Write"), 0);
}

TEST(PlaybackEngine, FailedDeviceChangeOrReopenLeavesNoDeviceAndPlayDoesNothing)
{
    EngineRig rig({kGood, {"Broken", true}});
    rig.fake.FailOpen(1);
    rig.Start();
    rig.engine.OnSelchangeSoundDevice(1);
    EXPECT_EQ(rig.CallNames(), kRestart);
    EXPECT_EQ(rig.LastMessage(), "I can't open the sound device");
    EXPECT_FALSE(rig.engine.DeviceOpen());
    EXPECT_EQ(rig.status.m_texts, (Names{"nothing to do"}));
    rig.fake.ClearCalls();
    rig.engine.OnPlay();
    rig.engine.OnStop();
    EXPECT_TRUE(rig.fake.Calls().empty());
    // Choosing a working device again makes Play work.
    rig.engine.OnSelchangeSoundDevice(0);
    rig.engine.OnPlay();
    EXPECT_EQ(rig.fake.Queued().size(), 2u);

    // The reopen of a Play restart fails.
    rig.fake.FailNextOpens(1);
    rig.engine.MarkSurfChanged();
    rig.Clear();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.CallNames(), kRestart);
    EXPECT_EQ(rig.status.m_texts, (Names{"nothing to do"}));
    EXPECT_EQ(rig.messages.m_messages.size(), 2u);
    EXPECT_FALSE(rig.engine.DeviceOpen());
    EXPECT_FALSE(rig.engine.IsPlaying());
}

TEST(PlaybackEngine, BackendErrorsWhilePlayingStopPlaybackCleanly)
{
    EngineRig rig;
    rig.Start();
    rig.fake.CompleteNext();
    rig.fake.BreakDevice();
    EXPECT_FALSE(rig.engine.IsPlaying());
    EXPECT_TRUE(rig.fake.Queued().empty());
    EXPECT_TRUE(rig.engine.OnCheckDevice());
    EXPECT_EQ(rig.status.m_texts, (Names{"nothing to do"}));
    EXPECT_FALSE(rig.engine.OnCheckDevice());
    // Play on the dead device fails visibly instead of claiming to play.
    rig.engine.OnPlay();
    EXPECT_FALSE(rig.engine.IsPlaying());
    EXPECT_EQ(rig.status.m_texts.back(), "nothing to do");
    EXPECT_EQ(rig.LastMessage(), "I can't open the sound device");
    EXPECT_EQ(rig.messages.m_statusAtReport.back(), "nothing to do") << "the line must not claim playing under the box";

    // A refill that cannot queue its half stops; the next Play starts clean.
    EngineRig requeue;
    requeue.Start();
    requeue.fake.FailWrites(true);
    requeue.fake.CompleteNext();
    EXPECT_FALSE(requeue.engine.IsPlaying());
    ASSERT_EQ(requeue.fake.Queued().size(), 1u);
    requeue.fake.FailWrites(false);
    requeue.Clear();
    requeue.engine.OnPlay();
    EXPECT_EQ(requeue.CallNames(), (Names{"Reset", "Write", "Write"}));
    EXPECT_TRUE(requeue.BothQueuedInOrder());
    EXPECT_EQ(requeue.status.m_texts, (Names{"playing"}));
}

TEST(PlaybackEngine, ARetuneAfterAnOddNumberOfCompletionsPlaysAtOnceFromHalfZeroThenHalfOne)
{
    EngineRig rig({kGood}, 3);
    rig.Start();
    ASSERT_TRUE(rig.fake.CompleteNext()); // half 0 played and queued again after half 1
    rig.Clear();
    rig.engine.RetuneTone(1000.5);
    EXPECT_EQ(rig.CallNames(), (Names{"Reset", "Write", "Write"}));
    EXPECT_EQ(rig.generator.m_toneCalls, 2);
    EXPECT_TRUE(rig.BothQueuedInOrder());
    EXPECT_TRUE(rig.Holds(0, 8, {0, 1}));
    rig.Clear();
    ASSERT_TRUE(rig.fake.CompleteNext());
    ASSERT_FALSE(rig.fake.Calls().empty());
    EXPECT_EQ(rig.fake.Calls().back().header, &rig.engine.Header(0)) << "the refill follows the new order";
    EXPECT_EQ(rig.fake.Queued(), std::vector<const WaveHeader*>({&rig.engine.Header(1), &rig.engine.Header(0)}));

    rig.engine.OnStop();
    rig.fake.ClearCalls();
    rig.engine.RetuneTone(500); // not playing: nothing to retune
    EXPECT_TRUE(rig.fake.Calls().empty());
}

// The threads meet: Stop races a refill in progress; new signals are made
// while refills run. Run under ThreadSanitizer, these prove the sharing safe.
TEST(PlaybackEngine, StopRacingARefillLosesNoBufferAndQueuesNothingAfter)
{
    EngineRig rig({kGood}, 3);
    rig.Start(false);
    for (int round = 0; round < 100; ++round)
    {
        rig.generator.m_ready = false;
        rig.engine.OnPlay();
        rig.fake.ClearCalls();
        rig.fake.CompleteNextAsync();
        rig.engine.OnStop();
        rig.fake.WaitIdle();
        EXPECT_TRUE(rig.fake.Queued().empty()) << round;
        const Names names = rig.CallNames();
        const auto reset = std::find(names.begin(), names.end(), "Reset");
        EXPECT_EQ(std::find(reset, names.end(), "Write"), names.end()) << round;
    }
}

TEST(PlaybackEngine, SignalsAndTonesMadeWhilePlayingNeverTearARefill)
{
    for (int type : {0, 3})
    {
        EngineRig rig({kGood}, type, 50);
        rig.Start();
        std::thread device([&] {
            for (int i = 0; i < 30; ++i)
                rig.fake.CompleteNext();
        });
        for (int i = 0; i < 10; ++i)
        {
            if (type == 3)
            {
                rig.engine.RetuneTone(400 + i);
            }
            else
            {
                auto guard = rig.engine.LockSignal();
                rig.generator.Synthesize(1, 20, 20000, {});
            }
            rig.engine.SetSurf(10.0 * i, 1 + i);
        }
        device.join();
        rig.fake.WaitIdle();
        EXPECT_TRUE(rig.engine.IsPlaying());
        EXPECT_EQ(rig.fake.Queued().size(), 2u);
    }
}

// The fades follow the stream's sample index: the rise covers the first
// samples Play queues, the fall the samples just before the end, and nothing
// is queued after the end.
TEST(PlaybackEngine, FadesFollowTheStreamIndexAndNothingIsQueuedAfterTheEnd)
{
    EngineRig rig({kGood}, 0, 0);
    rig.Start(false);
    rig.controls.m_params.fadeInSamples = 1000;
    rig.engine.OnPlay();
    const int16_t* buffer = rig.engine.PlayBuffer();
    const int16_t* source = rig.generator.Source();
    // Surf 0: the shaper passes the source unchanged, so the gain alone shows.
    EXPECT_EQ(buffer[0], 0);
    for (int i = 1; i < 1000; ++i)
        ASSERT_EQ(buffer[i], FadeCurve::Scale(source[i], FadeCurve::RiseGain(i, 1000))) << i;
    for (int i = 1000; i < 262144; ++i)
        ASSERT_EQ(buffer[i], source[i]) << i;

    // The end lies 1000 samples into the third half, the fall over 500 before it.
    const int64_t end = 262144 + 1000;
    rig.engine.SetStreamEnd(end, 500);
    rig.Clear();
    CAllocScope scope;
    ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_EQ(scope.Allocations(), 0u);
    EXPECT_EQ(rig.engine.Header(0).bufferLengthBytes, 2000u);
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(buffer[i], source[i]) << i;
    for (int i = 500; i < 1000; ++i)
        ASSERT_EQ(buffer[i], FadeCurve::Scale(source[i], FadeCurve::FallGain(i - 500, 500))) << i;
    EXPECT_FALSE(rig.engine.HasEnded());
    ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_FALSE(rig.engine.HasEnded());
    ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_TRUE(rig.engine.HasEnded());
    EXPECT_EQ(rig.fake.CountCalls("Write"), 1);
    EXPECT_TRUE(rig.fake.Queued().empty());

    EXPECT_TRUE(rig.engine.OnCheckEnded());
    EXPECT_FALSE(rig.engine.IsPlaying());
    EXPECT_EQ(rig.status.m_texts, (Names{"nothing to do"}));
    EXPECT_FALSE(rig.engine.OnCheckEnded());

    // The next Play starts a whole stream again, the rise included.
    rig.engine.OnPlay();
    EXPECT_EQ(rig.engine.Header(0).bufferLengthBytes, 262144u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_TRUE(rig.BothQueuedInOrder());
}

// With glide on, a new sound while playing neither stops nor reopens the
// device: from the next refill the old sound crossfades into the new one
// over a second with equal power.
TEST(PlaybackEngine, GlideCrossfadesTheOldSoundIntoTheNewWithEqualPower)
{
    EngineRig rig({kGood}, 0, 0);
    rig.controls.m_params.glide = true;
    rig.Start();
    ASSERT_TRUE(rig.fake.CompleteNext()); // the stream is at 393216 now
    const std::vector<int16_t> before = rig.generator.m_source;
    rig.controls.m_params.noiseType = 2;
    rig.generator.m_ready = false;
    rig.engine.OnPlay();
    EXPECT_EQ(rig.fake.CountCalls("Reset"), 0);
    EXPECT_EQ(rig.fake.CountCalls("Open"), 0);
    EXPECT_EQ(rig.generator.m_noiseCalls, 2);
    EXPECT_EQ(rig.engine.PlayedType(), 2);

    ASSERT_TRUE(rig.fake.CompleteNext()); // half 1 comes back and is made anew
    const int16_t* buffer = rig.engine.PlayBuffer();
    const std::vector<int16_t>& after = rig.generator.m_source;
    for (int k = 0; k < 44100; ++k)
    {
        const double t = k / 44100.0;
        const double mixed = before[131072 + k] * std::cos(t * M_PI / 2) + after[131072 + k] * std::sin(t * M_PI / 2);
        ASSERT_NEAR(buffer[131072 + k], mixed, 0.5 + 1e-9) << k;
    }
    for (int k = 44100; k < 131072; ++k)
        ASSERT_EQ(buffer[131072 + k], after[131072 + k]) << k;
    // Once the glide is over, the refills play the new sound alone.
    ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_EQ(std::memcmp(buffer, after.data(), 131072 * 2), 0);
}

TEST(PlaybackEngine, WithGlideStopRampsDownOver50msInsteadOfCutting)
{
    EngineRig rig({kGood}, 0, 0);
    rig.controls.m_params.glide = true;
    rig.Start();
    rig.engine.OnStop();
    EXPECT_EQ(rig.CallNames(), (Names{"Reset", "PrepareHeader", "Write"}));
    ASSERT_EQ(rig.fake.Queued().size(), 1u);
    const WaveHeader& ramp = *rig.fake.Queued()[0];
    ASSERT_EQ(ramp.bufferLengthBytes, 2u * 2205);
    // Played just now: the ramp starts near the stream's first samples, each
    // scaled by the falling line.
    const int16_t* source = rig.generator.Source();
    int start = 0;
    while (start < 44100 && ramp.data[0] != source[start])
        ++start;
    ASSERT_LT(start, 44100);
    for (int k = 0; k < 2205; ++k)
        ASSERT_EQ(ramp.data[k], FadeCurve::Scale(source[start + k], FadeCurve::StopRampGain(k, 2205))) << k;
    EXPECT_EQ(rig.status.m_texts, (Names{"nothing to do"}));

    // Its return queues nothing more.
    ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_EQ(rig.fake.CountCalls("Write"), 1);
    EXPECT_FALSE(rig.engine.IsPlaying());
}

TEST(PlaybackEngine, CueStopsTheSoundPlaysOnceAndPlayTakesTheDeviceBack)
{
    EngineRig rig({kGood}, 2);
    rig.Start();
    ASSERT_TRUE(rig.engine.IsPlaying());
    const std::vector<int16_t> cue(1000, 7);
    EXPECT_EQ(rig.fake.StreamName(), "Pink noise");
    ASSERT_TRUE(rig.engine.PlayCue(cue.data(), 1000));
    EXPECT_FALSE(rig.engine.IsPlaying());
    EXPECT_EQ(rig.status.m_texts, std::vector<std::string>{"nothing to do"});
    EXPECT_EQ(rig.fake.StreamName(), "Test tone") << "the stream is named after what plays";
    ASSERT_EQ(rig.fake.Queued().size(), 1u);
    EXPECT_EQ(rig.fake.Queued()[0]->data, cue.data());
    EXPECT_EQ(rig.fake.Queued()[0]->bufferLengthBytes, 2000u);
    EXPECT_FALSE(rig.engine.CueDone());
    // Its completion queues nothing more: a cue plays once.
    ASSERT_TRUE(rig.fake.CompleteNext());
    rig.fake.WaitIdle();
    EXPECT_TRUE(rig.engine.CueDone());
    EXPECT_TRUE(rig.fake.Queued().empty());

    // A cue still queued is handed back before Play queues its halves.
    ASSERT_TRUE(rig.engine.PlayCue(cue.data(), 1000));
    rig.engine.OnPlay();
    EXPECT_TRUE(rig.engine.CueDone());
    EXPECT_TRUE(rig.BothQueuedInOrder());
    EXPECT_EQ(rig.fake.StreamName(), "Pink noise");
}

TEST(PlaybackEngine, NotchOfThePlayParametersReachesTheGenerator)
{
    EngineRig rig({kGood}, 1);
    rig.controls.m_params.notch = true;
    rig.controls.m_params.notchWidthOctaves = 0.5;
    rig.controls.m_params.tinnitusFreq = 3000;
    rig.Start();
    const NotchBand& notch = rig.generator.m_lastNotch;
    EXPECT_TRUE(notch.on && notch.centre == 3000.0 && notch.widthOctaves == 0.5);
}

// The sleep timer's end, set before Play, holds from the first sample of the
// run Play starts, so its first halves fall too; cleared, the next run is whole.
TEST(PlaybackEngine, AnEndSetBeforePlayCountsFromTheRunsFirstSample)
{
    EngineRig rig({kGood}, 0, 0);
    rig.Start(false);
    rig.engine.SetStreamEndAfter(1000, 500);
    rig.engine.OnPlay();
    EXPECT_EQ(rig.engine.Header(0).bufferLengthBytes, 2000u);
    EXPECT_EQ(rig.fake.CountCalls("Write"), 1);
    const int16_t* buffer = rig.engine.PlayBuffer();
    const int16_t* source = rig.generator.Source();
    EXPECT_EQ(buffer[499], source[499]);
    EXPECT_EQ(buffer[750], static_cast<int16_t>(std::round(source[750] * std::pow(10.0, -72.0 * 0.5 / 20))));

    rig.engine.OnStop();
    rig.engine.ClearStreamEnd();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.engine.Header(0).bufferLengthBytes, 262144u);
    EXPECT_TRUE(rig.BothQueuedInOrder());
}

struct StopRow
{
    const char* name;
    int type;
    bool glide;
    bool stereo;
};

class PlaybackEngineStop : public ::testing::TestWithParam<StopRow>
{};

// Stop replaces the queued sound with a ramp from the first replaceable
// sample down to silence within 50 ms, in every mode (in stereo both channels
// fall from the same frame); the next Play takes that tail back before it starts.
TEST_P(PlaybackEngineStop, RampsTheQueuedSoundToSilenceWithin50ms)
{
    const StopRow& row = GetParam();
    EngineRig rig({kGood}, row.type, 0);
    rig.controls.m_params.glide = row.glide;
    if (row.stereo)
        rig.controls.m_params.stereo = StereoSound{true, {0, -6}, ToneEar::Both};
    const std::size_t channels = row.stereo ? 2 : 1;
    rig.fake.EnableReplace(4410);
    rig.Start();
    ASSERT_TRUE(rig.fake.CompleteNext());
    const std::vector<int16_t> queued = rig.fake.Tape();
    const size_t from = static_cast<size_t>(rig.fake.Played()) + 4410;
    rig.engine.OnStop();
    EXPECT_FALSE(rig.engine.IsPlaying());
    EXPECT_EQ(rig.status.m_texts, (Names{"nothing to do"}));
    EXPECT_EQ(rig.fake.CountCalls("Reset"), 0);
    EXPECT_TRUE(rig.fake.Queued().empty());
    const std::vector<int16_t> tape = rig.fake.Tape();
    ASSERT_EQ(tape.size(), queued.size());
    for (size_t i = 0; i < channels * from; ++i)
        ASSERT_EQ(tape[i], queued[i]) << i;
    for (size_t i = channels * from; i < tape.size(); ++i)
    {
        const size_t k = i / channels - from;
        const double gain = k < 2205 ? 1.0 - static_cast<double>(k) / 2205.0 : 0.0;
        if (!row.stereo)
        {
            ASSERT_EQ(tape[i], static_cast<int16_t>(std::round(queued[i] * gain))) << k;
            continue;
        }
        // The ramp falls from the ear's own samples, made at full level then scaled.
        const int16_t full = (i % 2 == 0 ? rig.generator : rig.right).Source()[(i / 2) % 262144];
        const double ear = i % 2 == 0 ? 1.0 : std::pow(10.0, -6 / 20.0);
        ASSERT_EQ(tape[i], static_cast<int16_t>(std::round(std::round(full * gain) * ear))) << i;
    }

    rig.Clear();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.fake.CountCalls("Reset"), 1);
    const std::vector<int16_t> fresh = rig.fake.Tape();
    ASSERT_FALSE(fresh.empty());
    EXPECT_TRUE(std::equal(fresh.begin(), fresh.end(), queued.begin())) << "the new run starts from its start";
}

INSTANTIATE_TEST_SUITE_P(Modes, PlaybackEngineStop,
                         ::testing::Values(StopRow{"noise", 0, false, false},
                                           StopRow{"noise with glide", 0, true, false},
                                           StopRow{"tone", 3, false, false}, StopRow{"stereo", 0, false, true}),
                         RowName());

// Stereo with the real synthesizers: each ear its own noise (independent
// phases), each at its level, the surf and the rise alike on both.
TEST(PlaybackEngine, StereoPlaysEachEarsOwnNoiseAtItsLevelWithTheSameSurfAndRise)
{
    CFakeWaveOut fake;
    fake.SetDevices({kGood});
    fake.KeepTape();
    CNoiseSynth left, right;
    right.m_phase = CPhaseGenerator(kRightEarPhaseState);
    CNoiseSynthGenerator leftGenerator(left), rightGenerator(right);
    CTestControls controls;
    controls.m_params = PlayParameters{Pink, 100.0, 20000.0, 1000, 40.0, 1.0};
    controls.m_params.fadeInSamples = 20000;
    controls.m_params.stereo = StereoSound{true, {0, -12}, ToneEar::Both};
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine(fake, leftGenerator, controls, status, messages, &rightGenerator);
    engine.InitDevices();
    engine.OnPlay();
    ASSERT_TRUE(fake.CompleteNext());
    ASSERT_EQ(engine.Channels(), 2);
    EXPECT_EQ(engine.Header(0).bufferLengthBytes, 131072u * 4);

    const std::vector<int16_t> tape = fake.Tape();
    ASSERT_EQ(tape.size(), 3u * 131072 * 2);
    const std::size_t frames = tape.size() / 2;
    const std::vector<int16_t> gotLeft = ChannelOf(tape, 0), gotRight = ChannelOf(tape, 1);
    const std::vector<int16_t> shapedLeft = ShapedStream(left.m_source.get(), Pink, frames, 40.0, 1.0);
    const std::vector<int16_t> shapedRight = ShapedStream(right.m_source.get(), Pink, frames, 40.0, 1.0);
    const double quieter = std::pow(10.0, -12.0 / 20.0);
    for (std::size_t i = 0; i < frames; ++i)
    {
        const double rise = FadeCurve::RiseGain(static_cast<int64_t>(i), 20000);
        ASSERT_EQ(gotLeft[i], FadeCurve::Scale(shapedLeft[i], rise)) << i;
        ASSERT_EQ(gotRight[i], FadeCurve::Scale(FadeCurve::Scale(shapedRight[i], rise), quieter)) << i;
    }
    // After the rise: the right ear 12 dB below its own noise, the two unrelated.
    const std::vector<int16_t> steadyLeft(gotLeft.begin() + 20000, gotLeft.end());
    const std::vector<int16_t> steadyRight(gotRight.begin() + 20000, gotRight.end());
    const std::vector<int16_t> ownRight(shapedRight.begin() + 20000, shapedRight.end());
    EXPECT_NEAR(RmsDb(steadyRight) - RmsDb(ownRight), -12.0, 0.1);
    EXPECT_LE(std::fabs(Correlation(steadyLeft, steadyRight)), 0.05);
}

struct EarRow
{
    const char* name;
    int type;
    std::array<int, 2> levels;
    ToneEar toneEar;
    std::array<double, 2> gains; // what each ear's samples are multiplied by
};

class PlaybackEngineEars : public ::testing::TestWithParam<EarRow>
{};

// Each channel carries its ear's sound at its level: the noise from its own
// generator, the tone (the same in both) only where it is heard.
TEST_P(PlaybackEngineEars, EachChannelHoldsItsEarsSoundAtItsLevel)
{
    const EarRow& row = GetParam();
    EngineRig rig({kGood}, row.type, 0);
    rig.controls.m_params.tinnitusFreq = 441;
    rig.controls.m_params.stereo = StereoSound{true, row.levels, row.toneEar};
    rig.Start();
    ASSERT_TRUE(rig.fake.CompleteNext());
    ASSERT_EQ(rig.fake.Channels(), 2);
    const int length = CSurfShaper::HalfLength(row.type);
    // The half just refilled (0) and the one still queued (1).
    const int16_t* frames = rig.engine.Header(0).data;
    ASSERT_EQ(rig.engine.Header(1).data, frames + 2 * length);
    const bool tone = row.type == TinnitusFinder;
    const std::vector<int16_t> left = ShapedStream(rig.generator.Source(), row.type, 3 * length);
    const std::vector<int16_t> right = tone ? left : ShapedStream(rig.right.Source(), row.type, 3 * length);
    for (int i = 0; i < 2 * length; ++i)
    {
        // Frame i of the buffer holds stream sample 2 * length + i (half 0) or length + i (half 1).
        const int at = i < length ? 2 * length + i : i;
        ASSERT_EQ(frames[2 * i], static_cast<int16_t>(std::round(left[at] * row.gains[0]))) << i;
        ASSERT_EQ(frames[2 * i + 1], static_cast<int16_t>(std::round(right[at] * row.gains[1]))) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlaybackEngineEars,
    ::testing::Values(
        EarRow{"noise at 0 and -12 dB", White, {0, -12}, ToneEar::Both, {1.0, std::pow(10.0, -12 / 20.0)}},
        EarRow{"noise with the left ear silent", Pink, {StereoSound::kSilent, -60}, ToneEar::Both, {0.0, 1e-3}},
        EarRow{"tone in the left ear", TinnitusFinder, {-6, 0}, ToneEar::Left, {std::pow(10.0, -6 / 20.0), 0.0}},
        EarRow{"tone in the right ear", TinnitusFinder, {0, -1}, ToneEar::Right, {0.0, std::pow(10.0, -1 / 20.0)}},
        EarRow{"tone in both ears", TinnitusFinder, {0, -20}, ToneEar::Both, {1.0, 0.1}}),
    RowName());

// Play opens the device with the channels of its run; a mono run after a
// stereo one is the same stream as ever.
TEST(PlaybackEngine, SwitchingBetweenMonoAndStereoReopensWithTheRunsChannels)
{
    EngineRig rig({kGood}, 0, 30);
    rig.Start();
    ASSERT_EQ(rig.fake.Channels(), 1);
    for (const bool stereo : {true, false, true})
    {
        rig.Clear();
        rig.controls.m_params.stereo.on = stereo;
        rig.engine.MarkSurfChanged();
        rig.engine.OnPlay();
        EXPECT_EQ(rig.fake.CountCalls("Close"), 1);
        EXPECT_EQ(rig.fake.CountCalls("Open"), 1);
        EXPECT_EQ(rig.fake.Channels(), stereo ? 2 : 1);
        EXPECT_EQ(rig.engine.Header(0).bufferLengthBytes, stereo ? 131072u * 4 : 262144u);
        EXPECT_EQ(rig.engine.Header(0).data == rig.engine.PlayBuffer(), !stereo);
        EXPECT_TRUE(rig.BothQueuedInOrder());
        EXPECT_TRUE(rig.Holds(30, 8, {0, 1}));
    }
    // A stereo Play on a device open with two channels keeps it open.
    rig.engine.OnStop();
    rig.Clear();
    rig.engine.OnPlay();
    EXPECT_EQ(rig.fake.CountCalls("Open"), 0);
    EXPECT_EQ(rig.fake.Channels(), 2);
}

// A cue for one ear opens the device with two channels and plays in that
// channel only; Both plays it in every channel there is.
TEST(PlaybackEngine, ACueForOneEarPlaysInItsChannelAndSilenceInTheOther)
{
    EngineRig rig({kGood}, 0);
    rig.Start(false);
    std::vector<int16_t> cue(1000);
    for (int i = 0; i < 1000; ++i)
        cue[i] = static_cast<int16_t>(i + 1);
    for (const ToneEar ear : {ToneEar::Left, ToneEar::Right, ToneEar::Both})
    {
        ASSERT_TRUE(rig.engine.PlayCue(cue.data(), 1000, ear));
        ASSERT_EQ(rig.fake.Channels(), 2);
        ASSERT_EQ(rig.fake.Queued().size(), 1u);
        const WaveHeader* header = rig.fake.Queued()[0];
        ASSERT_EQ(header->bufferLengthBytes, 4000u);
        for (int i = 0; i < 1000; ++i)
        {
            ASSERT_EQ(header->data[2 * i], ear == ToneEar::Right ? 0 : cue[i]) << i;
            ASSERT_EQ(header->data[2 * i + 1], ear == ToneEar::Left ? 0 : cue[i]) << i;
        }
    }
    EXPECT_EQ(rig.fake.CountCalls("Open"), 1) << "one reopen, for the first ear's cue";
}

struct GlideRow
{
    const char* name;
    bool stereo;
};

class PlaybackEngineGlide : public ::testing::TestWithParam<GlideRow>
{};

// Where the device can replace queued sound, a glide is heard from the first
// sample it can still replace, not after the halves already queued; in stereo
// each ear crossfades from its old noise into its new one from the same frame.
TEST_P(PlaybackEngineGlide, IsHeardWithinHalfASecondWhereTheDeviceCanReplaceQueuedSound)
{
    EngineRig rig({kGood}, 0, 0);
    rig.controls.m_params.glide = true;
    rig.controls.m_params.stereo.on = GetParam().stereo;
    const std::size_t channels = GetParam().stereo ? 2 : 1;
    rig.fake.EnableReplace(4410);
    rig.Start();
    ASSERT_TRUE(rig.fake.CompleteNext()); // half 0 played; the stream is made up to 393216
    const std::vector<int16_t> before[2] = {rig.generator.m_source, rig.right.m_source};
    rig.controls.m_params.noiseType = 2;
    rig.generator.m_ready = false;
    rig.engine.OnPlay();
    EXPECT_EQ(rig.fake.CountCalls("Reset"), 0);
    const std::vector<int16_t>* after[2] = {&rig.generator.m_source, &rig.right.m_source};
    if (GetParam().stereo)
    {
        ASSERT_NE(before[1], *after[1]) << "the right ear's noise was made anew";
    }
    const std::vector<int16_t> tape = rig.fake.Tape();
    const std::size_t played = 131072, from = played + 4410;
    ASSERT_LE(from - played, 22050u) << "heard more than half a second later";
    ASSERT_EQ(tape.size(), channels * 5 * 131072) << "three halves made again, two queued after them";
    for (std::size_t i = 0; i < tape.size(); ++i)
    {
        const std::size_t frame = i / channels, at = frame % 262144;
        const std::size_t ear = i % channels;
        const double t = frame < from ? 0.0 : std::min(1.0, static_cast<double>(frame - from) / 44100.0);
        const int16_t mixed = static_cast<int16_t>(
            std::round(before[ear][at] * std::cos(t * M_PI / 2) + (*after[ear])[at] * std::sin(t * M_PI / 2)));
        ASSERT_EQ(tape[i], t >= 1.0 ? (*after[ear])[at] : mixed) << i;
    }
    // Both halves are queued again after the replaced sound and go on with it.
    EXPECT_EQ(rig.fake.Queued().size(), 2u);
    ASSERT_TRUE(rig.fake.CompleteNext());
    EXPECT_EQ(rig.fake.Tape().size(), tape.size() + channels * 131072);
}

INSTANTIATE_TEST_SUITE_P(Channels, PlaybackEngineGlide,
                         ::testing::Values(GlideRow{"mono", false}, GlideRow{"stereo", true}), RowName());

} // namespace
