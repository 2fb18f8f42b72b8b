// The PortAudio backend end to end, without a sound card: ALSA's default
// device is redefined as a "file" device (slave "null") that writes the raw
// stream into a named pipe. The test reads the pipe at 88200 bytes a second,
// which paces the device like real hardware, and compares what it captured
// with the shaped samples the engine must have played.

#include "playback/portaudio_wave_out.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

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
        const std::string pipe = base + "/capture.raw";
        const std::string conf = base + "/asound.conf";
        WriteFileDeviceConfig(conf, pipe);
        ::setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
        return new CPacedCapture(pipe);
    }();
    return *capture;
}

template <typename Predicate>
bool WaitFor(Predicate done, std::chrono::seconds limit = 60s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// The shaped stream the engine must produce from Play on: halves 0, 1, 0, ...
std::vector<int16_t> ExpectedStream(const ISignalGenerator& generator, int type, double strength, double period,
                                    std::size_t samples)
{
    std::vector<int16_t> buffer(CPlaybackEngine::kPeriodSamples);
    CSurfShaper shaper(generator.Source(), buffer.data());
    shaper.m_playedType = type;
    shaper.m_surfStrength = strength;
    shaper.m_surfPeriod = period;
    const int length = CSurfShaper::HalfLength(type);
    std::vector<int16_t> out;
    for (int h = 0; out.size() < samples; h = 1 - h) {
        shaper.FillHalf(h);
        out.insert(out.end(), buffer.begin() + h * length, buffer.begin() + (h + 1) * length);
    }
    return out;
}

// Everything captured since `from`, leading silence dropped.
std::vector<int16_t> CapturedSince(std::size_t from)
{
    std::vector<int16_t> all = Capture().Copy();
    auto first = std::find_if(all.begin() + static_cast<std::ptrdiff_t>(from), all.end(),
                              [](int16_t s) { return s != 0; });
    return std::vector<int16_t>(first, all.end());
}

TEST(PortAudioWaveOut, ListsTheFileDeviceQuietly)
{
    Capture();
    std::fflush(stderr);
    char path[] = "/tmp/susurra-stderr-XXXXXX";
    const int log = ::mkstemp(path);
    const int saved = ::dup(2);
    ::dup2(log, 2);
    std::vector<WaveDeviceInfo> devices;
    {
        CPortAudioWaveOut waveOut;
        devices = waveOut.Devices();
    }
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    struct stat st{};
    ::fstat(log, &st);
    ::close(log);
    ::unlink(path);
    EXPECT_EQ(st.st_size, 0) << "the audio libraries talked on stderr";
    ASSERT_FALSE(devices.empty());
    const auto it = std::find_if(devices.begin(), devices.end(), [](const WaveDeviceInfo& d) { return d.name == "default"; });
    ASSERT_NE(it, devices.end());
    EXPECT_TRUE(it->takesMono16At44100);
}

struct PaRig
{
    PaRig() { Capture(); }
    CPortAudioWaveOut waveOut;
    CTestGenerator generator;
    CTestControls controls;
    CStatusLog status;
    CMessageLog messages;
    CPlaybackEngine engine{waveOut, generator, controls, status, messages};
};

TEST(PortAudioWaveOut, PlaysTheShapedToneExactlyWithoutAllocatingAndStopsAtOnce)
{
    PaRig rig;
    rig.controls.m_params.noiseType = 3;
    rig.controls.m_params.tinnitusFreq = 441;
    rig.controls.m_params.surfStrength = 30;
    rig.controls.m_params.surfPeriod = 1;
    rig.engine.InitDevices();
    ASSERT_TRUE(rig.engine.DeviceOpen());
    rig.engine.SetVolume(CPlaybackEngine::kMaxVolumePosition);
    Capture().WaitQuiet();
    const std::size_t start = Capture().Samples();

    rig.engine.OnPlay();
    ASSERT_EQ(rig.status.m_texts.back(), "playing");
    ASSERT_TRUE(WaitFor([&] { return Capture().Samples() > start + 44100; }));
    {
        // Steady playing: refills, requeues and the real-time copy allocate nothing.
        CAllocScope scope;
        ASSERT_TRUE(WaitFor([&] { return Capture().Samples() > start + 3 * 44100; }));
        EXPECT_EQ(scope.Allocations(), 0u);
    }
    rig.engine.OnStop();
    Capture().WaitQuiet();
    const std::size_t stopped = Capture().Samples();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Capture().Samples(), stopped) << "output went on after Stop";

    const std::vector<int16_t> got = CapturedSince(start);
    ASSERT_GE(got.size(), 3u * 44100);
    const std::vector<int16_t> expected = ExpectedStream(rig.generator, 3, 30, 1, got.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], expected[i]) << "sample " << i;
}

TEST(PortAudioWaveOut, PlaysANoiseHalfAtFullScale)
{
    PaRig rig;
    rig.controls.m_params.noiseType = 1;
    rig.engine.InitDevices();
    ASSERT_TRUE(rig.engine.DeviceOpen());
    rig.engine.SetVolume(CPlaybackEngine::kMaxVolumePosition);
    Capture().WaitQuiet();
    const std::size_t start = Capture().Samples();
    rig.engine.OnPlay();
    ASSERT_TRUE(WaitFor([&] { return Capture().Samples() > start + 131072 + 4410; }));
    rig.engine.Shutdown();
    Capture().WaitQuiet();

    const std::vector<int16_t> got = CapturedSince(start);
    ASSERT_GT(got.size(), 131072u);
    // S = 0: the stream is the period itself.
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], rig.generator.m_source[i % 262144]) << "sample " << i;
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
    bool WaitCount(std::size_t n)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 60s, [&] { return done.size() >= n; });
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
    WaveHeader unprepared{samples.data(), 2};
    EXPECT_EQ(waveOut.Write(handle, &unprepared), WaveResult::Unprepared);
    ASSERT_EQ(waveOut.PrepareHeader(handle, &header), WaveResult::Ok);
    ASSERT_EQ(waveOut.SetVolume(handle, 0x4000C000), WaveResult::Ok);  // mono: the left (low) value counts
    ASSERT_EQ(waveOut.Write(handle, &header), WaveResult::Ok);
    ASSERT_TRUE(completions.WaitCount(1));
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
