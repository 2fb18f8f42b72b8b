// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <portaudio.h>
#include <semaphore.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "playback/wave_out.h"

// The wave-output service on PortAudio. Keeps the threading contract of
// IWaveOut:
// - The real-time callback (PortAudio's thread) copies queued buffers to the
//   device with the volume applied, and outputs silence when nothing is
//   queued. It never allocates; it takes m_queueMutex only to move one header
//   pointer between fixed rings (a few instructions), and wakes the
//   notification thread with sem_post, which never blocks.
// - Completions run on this object's own notification thread, in queue order.
// - Write may run on the controlling thread or inside a notification; both
//   take m_controlMutex, which no one holds while waiting for a notification.
// - Reset aborts the stream (output stops at once) and hands back every
//   queued buffer; the stream starts again with the next Write.
// - If the stream dies (device unplugged, sound server gone), every queued
//   buffer comes back with DeviceError; the next Write tries to restart it.
// - Starting the stream can hang inside PortAudio after ALSA refused to
//   start (a sound server restarted under it): the start runs on a helper
//   thread and is given up after a few seconds, the stream abandoned and the
//   next Write opens a new one. No call blocks without bound.
// One device is open at a time. Start-up chatter of the audio libraries on
// stderr is silenced while PortAudio initialises, probes and opens devices.
class CPortAudioWaveOut : public IWaveOut
{
public:
    CPortAudioWaveOut();
    ~CPortAudioWaveOut() override;
    CPortAudioWaveOut(const CPortAudioWaveOut&) = delete;
    CPortAudioWaveOut& operator=(const CPortAudioWaveOut&) = delete;

    std::vector<WaveDeviceInfo> Devices() override;
    WaveResult Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                    void* context) override;
    WaveResult PrepareHeader(WaveHandle handle, WaveHeader* header) override;
    WaveResult UnprepareHeader(WaveHandle handle, WaveHeader* header) override;
    WaveResult Write(WaveHandle handle, WaveHeader* header) override;
    WaveResult Reset(WaveHandle handle) override;
    WaveResult Close(WaveHandle handle) override;
    WaveResult SetVolume(WaveHandle handle, uint32_t volume) override;

    // Replaces Pa_StartStream and its time limit, so tests can make it hang.
    void SetStartStreamForTest(PaError (*start)(PaStream*), int timeoutMs);

private:
    struct StreamLink;
    static constexpr int kRingSize = 16;

    struct Returned
    {
        WaveHeader* header;
        WaveMessage message;
    };

    static int StreamCallback(const void* input, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags, void* data);
    static void StreamFinished(void* data);
    void OnStreamFinished();
    void Play(int16_t* out, unsigned long frames);
    void ReturnAllLocked(WaveMessage message);
    void WaitDelivered();
    void StopStreamLocked();
    bool OpenStreamLocked();
    PaError StartStreamLocked();
    void NotificationThread();

    bool m_initialized = false;
    std::vector<WaveDeviceInfo> m_devices;
    std::vector<int> m_paDevices; // device id -> PortAudio device index

    // Stream control; held around PortAudio calls, never while waiting for a notification.
    std::mutex m_controlMutex;
    PaStream* m_stream = nullptr;
    std::shared_ptr<StreamLink> m_link;                        // what the stream's callbacks reach us through
    std::vector<std::shared_ptr<StreamLink>> m_abandonedLinks; // kept until Pa_Terminate closes their streams
    PaStreamParameters m_params{};
    PaError (*m_startStream)(PaStream*) = &Pa_StartStream;
    int m_startTimeoutMs = 4000;
    bool m_running = false;
    WaveHandle m_handle = 0;
    WaveHandle m_lastHandle = 0;
    std::atomic<WaveCallback> m_callback{nullptr};
    std::atomic<void*> m_context{nullptr};
    std::atomic<WaveHandle> m_openHandle{0};
    std::atomic<bool> m_stopping{false}; // a deliberate stop: the finished callback is no failure
    std::atomic<bool> m_failed{false};   // the stream died on its own
    std::atomic<uint32_t> m_volume{0xFFFFFFFF};

    // Queue shared with the real-time callback.
    std::mutex m_queueMutex;
    WaveHeader* m_pending[kRingSize] = {};
    int m_pendingHead = 0;
    int m_pendingCount = 0;
    Returned m_returned[2 * kRingSize + 1] = {};
    int m_returnedHead = 0;
    int m_returnedCount = 0;
    WaveHeader* m_current = nullptr; // owned by the real-time callback while the stream runs
    uint32_t m_currentOffset = 0;    // bytes of m_current already played
    uint64_t m_posted = 0;           // buffers handed to the notification thread
    uint64_t m_delivered = 0;        // notifications that have returned
    bool m_quit = false;
    std::condition_variable m_deliveredChanged;

    sem_t m_wake;
    std::thread m_thread;
};
