// SPDX-License-Identifier: GPL-3.0-or-later
// The ALSA backend (on PortAudio) end to end, without a sound card: ALSA's default
// device is redefined as a "file" device (slave "null") that writes the raw
// stream into a named pipe. The test reads the pipe at 88200 bytes a second,
// which paces the device like real hardware, and compares what it captured
// with the shaped samples the engine must have played.

#include "playback/backends/alsa/alsa_wave_out.h"

#include <gtest/gtest.h>

#include <semaphore>
#include "playback/playback_engine.h"
#include "testing/file_compare.h"
#include "testing/alloc_counter.h"
#include "testing/engine_doubles.h"
#include "testing/paced_capture.h"

namespace
{

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

// Everything captured since `from`, leading silence dropped.
std::vector<int16_t> CapturedSince(std::size_t from)
{
    std::vector<int16_t> all = Capture().Copy();
    auto first =
        std::find_if(all.begin() + static_cast<std::ptrdiff_t>(from), all.end(), [](int16_t s) { return s != 0; });
    return std::vector<int16_t>(first, all.end());
}

// Before the backend reads ALSA's configuration, the capture is made, and
// waits until the last test's sound has drained.
struct QuietCapture
{
    std::size_t start = (Capture().WaitQuiet(), Capture().Samples());
};

struct PaRig : QuietCapture, CBackendRig<CAlsaWaveOut>
{
    using CBackendRig::CBackendRig;
};

TEST(AlsaWaveOut, PlaysTheShapedToneExactlyAtFullScaleWithoutAllocatingAndStopsAtOnce)
{
    PaRig rig(3, 30, 1);
    ASSERT_TRUE(rig.engine.DeviceOpen());
    rig.engine.OnPlay();
    ASSERT_EQ(rig.status.m_texts.back(), "playing");
    ASSERT_TRUE(Capture().WaitForSamples(rig.start + 44100));
    {
        // Steady playing: refills, requeues and the real-time copy allocate nothing.
        CAllocScope scope;
        ASSERT_TRUE(Capture().WaitForSamples(rig.start + 3 * 44100));
        EXPECT_EQ(scope.Allocations(), 0u);
    }
    rig.engine.OnStop();
    Capture().WaitQuiet();
    const std::size_t stopped = Capture().Samples();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Capture().Samples(), stopped) << "output went on after Stop";

    const std::vector<int16_t> got = CapturedSince(rig.start);
    ASSERT_GE(got.size(), 3u * 44100);
    EXPECT_TRUE(SameBytes(BytesOf(got), BytesOf(rig.Expected(got.size()))));
}

TEST(AlsaWaveOut, PlaysNoiseHalvesAtTheLinearVolumeExactlyUntilShutdown)
{
    PaRig rig(1);
    rig.engine.SetVolume(230); // 0x7FDB on both channels
    rig.engine.OnPlay();
    ASSERT_TRUE(Capture().WaitForSamples(rig.start + 131072 + 4410));
    rig.engine.Shutdown();
    Capture().WaitQuiet();
    const std::vector<int16_t> got = CapturedSince(rig.start);
    ASSERT_GT(got.size(), 131072u);
    std::vector<int16_t> expected = rig.Expected(got.size());
    for (int16_t& sample : expected)
        sample = static_cast<int16_t>(sample * 0x7FDB / 0xFFFF);
    EXPECT_TRUE(SameBytes(BytesOf(got), BytesOf(expected)));
}

TEST(AlsaWaveOut, ResetHandsBackEveryQueuedBufferBeforeItReturns)
{
    Capture().WaitQuiet();
    CAlsaWaveOut waveOut;
    WaveHandle handle = 0;
    auto ignore = [](WaveHandle, WaveMessage, void*, WaveHeader*) {};
    ASSERT_EQ(waveOut.Open(&handle, 0, WaveFormat{}, ignore, nullptr), WaveResult::Ok);
    std::vector<int16_t> samples(88200, 1000);
    WaveHeader headers[2] = {{samples.data(), 88200}, {samples.data() + 44100, 88200}};
    for (WaveHeader& h : headers)
    {
        ASSERT_EQ(waveOut.PrepareHeader(handle, &h), WaveResult::Ok);
        ASSERT_EQ(waveOut.Write(handle, &h), WaveResult::Ok);
    }
    ASSERT_EQ(waveOut.Reset(handle), WaveResult::Ok);
    for (const WaveHeader& h : headers)
        EXPECT_EQ(h.flags & (kWaveHeaderDone | kWaveHeaderInQueue), kWaveHeaderDone);
    EXPECT_EQ(waveOut.Close(handle), WaveResult::Ok);
}

std::binary_semaphore g_releaseHungStart{0};

// Pa_StartStream as it behaves after ALSA refused to start: it never returns
// (until the test ends).
PaError HangingStart(PaStream*)
{
    g_releaseHungStart.acquire();
    return paInternalError;
}

TEST(AlsaWaveOut, AStartThatHangsIsGivenUpAndTheNextWriteOpensAStreamThatPlays)
{
    Capture().WaitQuiet();
    CAlsaWaveOut waveOut;
    WaveHandle handle = 0;
    auto ignore = [](WaveHandle, WaveMessage, void*, WaveHeader*) {};
    ASSERT_EQ(waveOut.Open(&handle, 0, WaveFormat{}, ignore, nullptr), WaveResult::Ok);
    std::vector<int16_t> samples(44100, 1234);
    WaveHeader header{samples.data(), 88200};
    ASSERT_EQ(waveOut.PrepareHeader(handle, &header), WaveResult::Ok);

    waveOut.SetStartStreamForTest(&HangingStart, 300);
    EXPECT_EQ(waveOut.Write(handle, &header), WaveResult::DeviceError);
    EXPECT_EQ(header.flags & kWaveHeaderInQueue, 0u) << "a refused buffer stays the caller's";
    EXPECT_EQ(waveOut.Reset(handle), WaveResult::Ok);

    waveOut.SetStartStreamForTest(&Pa_StartStream, 4000);
    const std::size_t before = Capture().Samples();
    ASSERT_EQ(waveOut.Write(handle, &header), WaveResult::Ok);
    ASSERT_TRUE(Capture().WaitForSamples(before + 2 * 44100)); // the buffer, then silence
    const std::vector<int16_t> got = CapturedSince(before);
    ASSERT_GE(got.size(), 44100u);
    EXPECT_TRUE(std::all_of(got.begin(), got.begin() + 44100, [](int16_t s) { return s == 1234; }));
    EXPECT_EQ(waveOut.Close(handle), WaveResult::Ok);
    g_releaseHungStart.release();
}

} // namespace
