// The PortAudio backend end to end, without a sound card: ALSA's default
// device is redefined as a "file" device (slave "null") that writes the raw
// stream into a named pipe. The test reads the pipe at 88200 bytes a second,
// which paces the device like real hardware, and compares what it captured
// with the shaped samples the engine must have played.

#include "playback/portaudio_wave_out.h"

#include <gtest/gtest.h>

#include <condition_variable>

#include "common/alloc_counter.h"
#include "playback/engine_doubles.h"
#include "playback/paced_capture.h"
#include "playback/playback_engine.h"

namespace {

using namespace std::chrono_literals;

// One ALSA configuration and one capture pipe for the whole run: ALSA reads
// its configuration once per process.
CPacedCapture& Capture()
{
    static CPacedCapture* capture = [] {
        char dir[] = "/tmp/susurra-pa-XXXXXX";
        const std::string base = ::mkdtemp(dir);
        WriteFileDeviceConfig(base + "/asound.conf", base + "/capture.raw");
        ::setenv("ALSA_CONFIG_PATH", (base + "/asound.conf").c_str(), 1);
        return new CPacedCapture(base + "/capture.raw");
    }();
    return *capture;
}

bool WaitForSamples(std::size_t count)
{
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (Capture().Samples() < count && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    return Capture().Samples() >= count;
}

// Everything captured since `from`, leading silence dropped.
std::vector<int16_t> CapturedSince(std::size_t from)
{
    std::vector<int16_t> all = Capture().Copy();
    auto first = std::find_if(all.begin() + static_cast<std::ptrdiff_t>(from), all.end(), [](int16_t s) { return s != 0; });
    return std::vector<int16_t>(first, all.end());
}

struct PaRig
{
    explicit PaRig(int type, double strength = 0, double period = 8)
    {
        controls.m_params.noiseType = type;
        controls.m_params.tinnitusFreq = 441;
        controls.m_params.surfStrength = strength;
        controls.m_params.surfPeriod = period;
        Capture().WaitQuiet();
        start = Capture().Samples();
        engine.InitDevices();
        engine.SetVolume(CPlaybackEngine::kMaxVolumePosition);
    }
    // The shaped stream the engine must produce from Play on: halves 0, 1, 0, ...
    std::vector<int16_t> Expected(std::size_t samples)
    {
        std::vector<int16_t> buffer(CPlaybackEngine::kPeriodSamples);
        CSurfShaper shaper(generator.Source(), buffer.data());
        shaper.m_playedType = controls.m_params.noiseType;
        shaper.m_surfStrength = controls.m_params.surfStrength;
        shaper.m_surfPeriod = controls.m_params.surfPeriod;
        const int length = CSurfShaper::HalfLength(controls.m_params.noiseType);
        std::vector<int16_t> out;
        for (int h = 0; out.size() < samples; h = 1 - h) {
            shaper.FillHalf(h);
            out.insert(out.end(), buffer.begin() + h * length, buffer.begin() + (h + 1) * length);
        }
        out.resize(samples);
        return out;
    }

    CPacedCapture& capture = Capture();  // before the backend reads ALSA's configuration
    CPortAudioWaveOut waveOut;
    CTestGenerator generator;
    CTestControls controls;
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine{waveOut, generator, controls, status, messages};
    std::size_t start = 0;
};

TEST(PortAudioWaveOut, PlaysTheShapedToneExactlyAtFullScaleWithoutAllocatingAndStopsAtOnce)
{
    PaRig rig(3, 30, 1);
    ASSERT_TRUE(rig.engine.DeviceOpen());
    rig.engine.OnPlay();
    ASSERT_EQ(rig.status.m_texts.back(), "playing");
    ASSERT_TRUE(WaitForSamples(rig.start + 44100));
    {
        // Steady playing: refills, requeues and the real-time copy allocate nothing.
        CAllocScope scope;
        ASSERT_TRUE(WaitForSamples(rig.start + 3 * 44100));
        EXPECT_EQ(scope.Allocations(), 0u);
    }
    rig.engine.OnStop();
    Capture().WaitQuiet();
    const std::size_t stopped = Capture().Samples();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Capture().Samples(), stopped) << "output went on after Stop";

    const std::vector<int16_t> got = CapturedSince(rig.start);
    ASSERT_GE(got.size(), 3u * 44100);
    EXPECT_TRUE(got == rig.Expected(got.size()));
}

TEST(PortAudioWaveOut, PlaysNoiseHalvesExactlyUntilShutdown)
{
    PaRig rig(1);
    rig.engine.OnPlay();
    ASSERT_TRUE(WaitForSamples(rig.start + 131072 + 4410));
    rig.engine.Shutdown();
    Capture().WaitQuiet();
    const std::vector<int16_t> got = CapturedSince(rig.start);
    ASSERT_GT(got.size(), 131072u);
    EXPECT_TRUE(got == rig.Expected(got.size()));  // S = 0: the period itself
}

struct Completions
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<WaveHeader*> done;
    std::thread::id thread;

    static void Proc(WaveHandle, WaveMessage, void* context, WaveHeader* header)
    {
        auto* me = static_cast<Completions*>(context);
        std::lock_guard lock(me->mutex);
        me->done.push_back(header);
        me->thread = std::this_thread::get_id();
        me->changed.notify_all();
    }
};

TEST(PortAudioWaveOut, AppliesTheLinearVolumeAndHandsEveryBufferBackOnItsOwnThread)
{
    Capture().WaitQuiet();
    const std::size_t start = Capture().Samples();
    CPortAudioWaveOut waveOut;
    Completions completions;
    completions.done.reserve(16);
    WaveHandle handle = 0;
    ASSERT_EQ(waveOut.Open(&handle, 0, WaveFormat{}, &Completions::Proc, &completions), WaveResult::Ok);

    std::vector<int16_t> samples(8820);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>((i % 2 ? 1 : -1) * (1000 + static_cast<int>(i % 20000)));
    WaveHeader header{samples.data(), static_cast<uint32_t>(samples.size() * 2)};
    EXPECT_EQ(waveOut.Write(handle, &header), WaveResult::Unprepared);
    ASSERT_EQ(waveOut.PrepareHeader(handle, &header), WaveResult::Ok);
    ASSERT_EQ(waveOut.SetVolume(handle, 0x4000C000), WaveResult::Ok);  // mono: the left (low) value counts
    ASSERT_EQ(waveOut.Write(handle, &header), WaveResult::Ok);
    {
        std::unique_lock lock(completions.mutex);
        ASSERT_TRUE(completions.changed.wait_for(lock, 60s, [&] { return !completions.done.empty(); }));
    }
    EXPECT_EQ(completions.done[0], &header);
    EXPECT_TRUE(header.flags & kWaveHeaderDone);
    EXPECT_NE(completions.thread, std::this_thread::get_id());

    // Reset hands back queued buffers before it returns.
    WaveHeader second = header;
    waveOut.PrepareHeader(handle, &second);
    ASSERT_EQ(waveOut.Write(handle, &header), WaveResult::Ok);
    ASSERT_EQ(waveOut.Write(handle, &second), WaveResult::Ok);
    ASSERT_EQ(waveOut.Reset(handle), WaveResult::Ok);
    {
        std::lock_guard lock(completions.mutex);
        EXPECT_EQ(completions.done.size(), 3u);
    }
    ASSERT_EQ(waveOut.Close(handle), WaveResult::Ok);
    EXPECT_EQ(waveOut.Write(handle, &header), WaveResult::NotOpen);
    Capture().WaitQuiet();

    const std::vector<int16_t> got = CapturedSince(start);
    ASSERT_GE(got.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(got[i], static_cast<int16_t>(samples[i] * 0xC000 / 0xFFFF)) << "sample " << i;
}

}  // namespace
