// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "playback/wave_out.h"

// A scripted wave-output service for tests. The test sets the devices, their
// formats and which opens or writes fail; buffers are handed back only when
// the test says so, on the fake's own notification thread, as a real backend
// would. Every call is recorded. Keeps the threading contract of IWaveOut;
// after construction nothing allocates (the log and queues are reserved).
class CFakeWaveOut : public IWaveOut
{
public:
    struct Call
    {
        const char* name; // "Open", "PrepareHeader", "Write", ...
        WaveHandle handle = 0;
        uint32_t value = 0; // device id for Open, level for SetVolume, length for headers
        const WaveHeader* header = nullptr;
        bool fromNotification = false;
        WaveResult result = WaveResult::Ok;
    };

    CFakeWaveOut();
    ~CFakeWaveOut() override;

    // Script. A new device list grows the list version, as on a hot-plug.
    void SetDevices(std::vector<WaveDeviceInfo> devices)
    {
        std::lock_guard lock(m_mutex);
        m_devices = std::move(devices);
        ++m_listVersion;
    }
    void FailOpen(uint32_t deviceId, bool fail = true) // opens of this id fail
    {
        std::lock_guard lock(m_mutex);
        fail ? void(m_failingDevices.insert(deviceId)) : void(m_failingDevices.erase(deviceId));
    }
    void FailNextOpens(int count)
    {
        Locked([&] { m_failOpens = count; });
    } // the next count opens fail
    void FailWrites(bool fail)
    {
        Locked([&] { m_failWrites = fail; });
    } // Write returns DeviceError

    // Replacement of queued sound, off until a test turns it on. Then the
    // fake keeps every sample written since Open or the last Reset (its tape,
    // replacements applied), counts a buffer handed back as played, and lets
    // the sound `lead` samples after the played ones be replaced.
    void EnableReplace(int64_t lead)
    {
        Locked([&] {
            m_replace = true;
            m_lead = lead;
        });
    }
    std::vector<int16_t> Tape() const
    {
        return Locked([&] { return m_tape; });
    }
    // Keeps the tape (every sample written) without replacement.
    void KeepTape()
    {
        Locked([&] { m_keepTape = true; });
    }
    // The channels of the open stream (of the last one once closed).
    int Channels() const
    {
        return Locked([&] { return m_channels; });
    }
    // In frames.
    int64_t Played() const
    {
        return Locked([&] { return m_played; });
    }

    // Hands back the oldest queued buffer with Done and waits until its
    // notification has returned. False when nothing is queued.
    bool CompleteNext();
    // Same, but returns at once; WaitIdle waits for the notification.
    bool CompleteNextAsync();
    // The device fails: every queued buffer comes back with DeviceError
    // (waits), and writes fail until the next Open.
    void BreakDevice();
    void WaitIdle();

    // Observation.
    std::vector<Call> Calls() const
    {
        return Locked([&] { return m_calls; });
    }
    int CountCalls(const char* name) const
    {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(std::count_if(m_calls.begin(), m_calls.end(),
                                              [&](const Call& c) { return std::strcmp(c.name, name) == 0; }));
    }
    void ClearCalls()
    {
        Locked([&] { m_calls.clear(); });
    }
    std::vector<const WaveHeader*> Queued() const
    {
        return Locked([&] { return std::vector<const WaveHeader*>(m_queue.begin(), m_queue.end()); });
    }
    bool IsOpen() const
    {
        return Locked([&] { return m_open; });
    }
    uint32_t OpenDevice() const
    {
        return Locked([&] { return m_deviceId; });
    }
    uint32_t Volume() const
    {
        return Locked([&] { return m_volume; });
    }

    // IWaveOut
    std::vector<WaveDeviceInfo> Devices() override;
    WaveResult Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                    void* context) override;
    WaveResult PrepareHeader(WaveHandle handle, WaveHeader* header) override;
    WaveResult UnprepareHeader(WaveHandle handle, WaveHeader* header) override;
    WaveResult Write(WaveHandle handle, WaveHeader* header) override;
    WaveResult Reset(WaveHandle handle) override;
    WaveResult Close(WaveHandle handle) override;
    WaveResult SetVolume(WaveHandle handle, uint32_t volume) override;
    uint32_t DeviceListVersion() const override { return m_listVersion.load(); }
    void SetStreamName(const std::string& name) override { m_streamName = name; }
    // The name the stream was given last, as a sound server would show it.
    const std::string& StreamName() const { return m_streamName; }
    int64_t FirstReplaceable(WaveHandle handle) override;
    WaveResult ReplaceQueued(WaveHandle handle, int64_t from, const int16_t* samples, uint32_t count) override;

private:
    struct Delivery
    {
        WaveHeader* header;
        WaveMessage message;
    };

    template <class F>
    auto Locked(F f) const -> decltype(f())
    {
        std::lock_guard lock(m_mutex);
        return f();
    }
    // Called with the mutex held.
    WaveResult Record(const char* name, WaveHandle handle, uint32_t value, const WaveHeader* header, WaveResult result);
    bool Stale(WaveHandle handle) const { return !m_open || handle != m_handle; }
    WaveResult HandBackAll(std::unique_lock<std::mutex>& lock, const char* name, WaveHandle handle);
    void PostLocked(WaveHeader* header, WaveMessage message);
    void ReturnAllLocked(WaveMessage message);
    void WaitDeliveredLocked(std::unique_lock<std::mutex>& lock);
    void NotificationThread();
    bool OnNotificationThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;      // the notification thread waits here
    std::condition_variable m_delivered; // callers wait here for deliveries
    std::vector<WaveDeviceInfo> m_devices;
    std::set<uint32_t> m_failingDevices;
    int m_failOpens = 0;
    bool m_failWrites = false;
    bool m_broken = false;
    std::vector<Call> m_calls;
    std::vector<WaveHeader*> m_queue;
    std::vector<Delivery> m_deliveries;
    uint64_t m_posted = 0;
    uint64_t m_done = 0;
    bool m_quit = false;
    bool m_open = false;
    WaveHandle m_handle = 0;
    WaveHandle m_nextHandle = 1;
    uint32_t m_deviceId = 0;
    uint32_t m_volume = 0xFFFFFFFF;
    WaveCallback m_callback = nullptr;
    void* m_context = nullptr;
    std::atomic<uint32_t> m_listVersion{0};
    bool m_replace = false;
    bool m_keepTape = false;
    int m_channels = 1;
    int64_t m_lead = 0;
    int64_t m_played = 0;
    std::vector<int16_t> m_tape;
    std::thread m_thread;
    std::string m_streamName;
};
