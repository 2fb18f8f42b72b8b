// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pulse/pulseaudio.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "playback/wave_out.h"

// The wave-output service on the desktop's sound server (libpulse with its
// threaded main loop). Keeps the threading contract of IWaveOut:
// - The server asks for data on libpulse's loop thread; the stream callback
//   copies queued buffers into the stream there. A buffer is handed back as
//   soon as the server holds all of it.
// - Completions run on this object's own notification thread, in queue
//   order, never on libpulse's loop thread.
// - Every wait on the server (connecting, listing sinks, opening a stream)
//   gives up after the timeout given to the constructor.
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
    explicit CPulseWaveOut(int timeoutMs = 5000);
    ~CPulseWaveOut() override;
    CPulseWaveOut(const CPulseWaveOut&) = delete;
    CPulseWaveOut& operator=(const CPulseWaveOut&) = delete;

    // Whether the server answered the last attempt to reach it. The first
    // attempt, in the constructor, waits at most two seconds; none starts a
    // server.
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
    void SetStreamName(const std::string& name) override;
    uint32_t DeviceListVersion() const override { return m_deviceListVersion.load(std::memory_order_acquire); }
    // Queued sound is replaced in the server's buffer (which rewinds the sink
    // where it can); what the sink has read, and a margin after it, stays.
    int64_t FirstReplaceable(WaveHandle handle) override;
    WaveResult ReplaceQueued(WaveHandle handle, int64_t from, const int16_t* samples, uint32_t count) override;

private:
    static constexpr int kRingSize = 16;

    struct Returned
    {
        WaveHeader* header;
        WaveMessage message;
    };

    // All of these run with the main-loop lock held.
    bool EnsureContextLocked(int timeoutMs);
    void DropContextLocked();
    bool WaitLocked(const std::function<bool()>& done, int timeoutMs);
    bool ConnectStreamLocked();
    void DropStreamLocked();
    void PumpLocked(size_t bytes);
    void ReturnAllLocked(WaveMessage message);
    void ApplyVolumeLocked();

    void WaitDelivered();
    void NotificationThread();

    static void OnContextState(pa_context* context, void* self);
    static void OnContextEvent(pa_context* context, pa_subscription_event_type_t type, uint32_t index, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnStreamWrite(pa_stream* stream, size_t bytes, void* self);

    const int m_timeoutMs;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;

    // Guarded by the main-loop lock.
    std::vector<std::string> m_sinkNames; // device id -> sink name; "" is the server's default
    std::string m_sinkName;               // the open device's sink
    std::string m_streamName = "Noise";
    bool m_corked = false;
    bool m_failed = false; // the stream or the server died
    WaveHandle m_handle = 0;
    WaveHandle m_lastHandle = 0;
    uint32_t m_volume = 0xFFFFFFFF;
    WaveHeader* m_pending[kRingSize] = {};
    int m_pendingHead = 0;
    int m_pendingCount = 0;
    WaveHeader* m_current = nullptr;
    uint32_t m_currentOffset = 0;
    // Bytes given to the server and bytes written by the caller since the
    // stream was made or last flushed.
    int64_t m_serverBytes = 0;
    int64_t m_writtenBytes = 0;

    std::atomic<WaveCallback> m_callback{nullptr};
    std::atomic<void*> m_callbackContext{nullptr};
    std::atomic<WaveHandle> m_openHandle{0};
    std::atomic<uint32_t> m_deviceListVersion{0};

    // Handed-back buffers, shared with the notification thread.
    std::mutex m_returnMutex;
    std::condition_variable m_returnChanged;
    Returned m_returned[2 * kRingSize + 1] = {};
    int m_returnedHead = 0;
    int m_returnedCount = 0;
    uint64_t m_posted = 0;
    uint64_t m_delivered = 0;
    bool m_quit = false;
    std::thread m_thread;
};
