// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pulse/pulseaudio.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "playback/backends/common/wave_queue.h"
#include "playback/backends/pulse/condition_wake.h"
#include "playback/wave_out.h"

// The wave-output service on the desktop's sound server (libpulse with its
// threaded main loop). Keeps the threading contract of IWaveOut:
// - The server asks for data on libpulse's loop thread; the stream callback
//   copies queued buffers into the stream there. A buffer is handed back as
//   soon as the server holds all of it.
// - Completions run on the wave queue's notification thread, in queue
//   order, never on libpulse's loop thread.
// - Every wait on the server (connecting, listing sinks, opening a stream,
//   draining) gives up after the timeout given to the constructor.
// - A server that takes no samples for more than five seconds while the
//   stream plays is taken for lost: every queued buffer comes back with
//   DeviceError.
// - The server holds about two seconds and asks for more only when one second
//   has played, so the process sleeps between refills. Reset corks and
//   flushes the stream, so output stops at once and the next Write is heard
//   at once.
// - If the server or the stream dies, every queued buffer comes back with
//   DeviceError; the next Write connects again.
// Device 0 is the server's default output; then every sink by its
// description. One stream is open at a time.
class CPulseWaveOut : public IWaveOut
{
public:
    // The first attempt to reach the server, in the constructor, waits at
    // most firstConnectMs; none starts a server.
    explicit CPulseWaveOut(int timeoutMs = 5000, int firstConnectMs = 2000);
    ~CPulseWaveOut() override;
    CPulseWaveOut(const CPulseWaveOut&) = delete;
    CPulseWaveOut& operator=(const CPulseWaveOut&) = delete;

    // Whether the server answered the last attempt to reach it.
    bool Connected();

    std::vector<WaveDeviceInfo> Devices() override;
    WaveResult Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                    void* context) override;
    WaveResult PrepareHeader(WaveHandle handle, WaveHeader* header) override;
    WaveResult UnprepareHeader(WaveHandle handle, WaveHeader* header) override;
    WaveResult Write(WaveHandle handle, WaveHeader* header) override;
    WaveResult Reset(WaveHandle handle) override;
    WaveResult Close(WaveHandle handle) override;
    WaveResult SetVolume(WaveHandle handle, uint32_t volume) override;
    bool Drain(WaveHandle handle, int timeoutMs) override;
    void SetStreamName(const std::string& name) override;
    std::optional<std::string> UnreachedServer() const override;
    uint32_t DeviceListVersion() const override { return m_deviceListVersion.load(std::memory_order_acquire); }
    // Queued sound is replaced in the server's buffer (which rewinds the sink
    // where it can); what the sink has read, and a margin after it, stays.
    int64_t FirstReplaceable(WaveHandle handle) override;
    WaveResult ReplaceQueued(WaveHandle handle, int64_t from, const int16_t* samples, uint32_t count) override;

private:
    // All of these run with the main-loop lock held.
    bool EnsureContextLocked(int timeoutMs);
    void DropContextLocked();
    bool WaitLocked(const std::function<bool()>& done, int timeoutMs);
    bool ConnectStreamLocked();
    void DropStreamLocked();
    void PumpLocked(size_t bytes);
    void FailLocked();
    void ApplyVolumeLocked();
    void WatchLocked();
    uint32_t FrameBytes() const { return 2 * static_cast<uint32_t>(m_channels); }

    static void OnContextState(pa_context* context, void* self);
    static void OnContextEvent(pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnStreamWrite(pa_stream* stream, size_t bytes, void* self);
    static void OnWatchTimer(pa_mainloop_api* api, pa_time_event* event, const struct timeval* when, void* self);

    const int m_timeoutMs;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;

    // Guarded by the main-loop lock.
    std::vector<std::string> m_sinkNames; // device id -> sink name; "" is the server's default
    std::string m_sinkName;               // the open device's sink
    int m_channels = 1;                   // of the open device's stream
    std::string m_streamName = "Noise";
    bool m_corked = false;
    bool m_failed = false; // the stream or the server died
    WaveHandle m_handle = 0;
    WaveHandle m_lastHandle = 0;
    uint32_t m_volume = 0xFFFFFFFF;
    pa_time_event* m_watch = nullptr;                  // checks once a second that the server takes samples
    std::chrono::steady_clock::time_point m_lastTaken; // when the server last asked for samples
    std::optional<std::string> m_unreached;            // the last attempt to reach the server failed
    // Bytes given to the server and bytes written by the caller since the
    // stream was made or last flushed.
    int64_t m_serverBytes = 0;
    int64_t m_writtenBytes = 0;

    std::atomic<WaveHandle> m_openHandle{0};
    std::atomic<uint32_t> m_deviceListVersion{0};

    CConditionWake m_wake; // before the queue, which posts to it until its end
    CWaveQueue m_queue{m_wake};
};
