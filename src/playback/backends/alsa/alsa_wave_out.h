// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <portaudio.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "playback/backends/alsa/semaphore_wake.h"
#include "playback/backends/common/wave_queue.h"
#include "playback/wave_out.h"

// The wave-output service on PortAudio. Keeps the threading contract of
// IWaveOut:
// - The real-time callback (PortAudio's thread) copies queued buffers to the
//   device with the volume applied, and outputs silence when nothing is
//   queued. It never allocates; it takes the wave queue's lock only for a
//   few instructions, and wakes the notification thread with sem_post,
//   which never blocks.
// - Completions run on the wave queue's notification thread, in queue order.
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
class CAlsaWaveOut : public IWaveOut
{
public:
    CAlsaWaveOut();
    ~CAlsaWaveOut() override;
    CAlsaWaveOut(const CAlsaWaveOut&) = delete;
    CAlsaWaveOut& operator=(const CAlsaWaveOut&) = delete;

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

    // Replaces Pa_StartStream and its time limit, so tests can make it hang.
    void SetStartStreamForTest(PaError (*start)(PaStream*), int timeoutMs);

private:
    struct StreamLink;

    static int StreamCallback(const void* input, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags, void* data);
    static void StreamFinished(void* data);
    void OnStreamFinished();
    // Fills `samples` samples (frames times channels) from the queue.
    void Play(int16_t* out, unsigned long samples);
    void StopStreamLocked();
    bool OpenStreamLocked();
    PaError StartStreamLocked();

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
    std::atomic<WaveHandle> m_openHandle{0};
    std::atomic<bool> m_stopping{false}; // a deliberate stop: the finished callback is no failure
    std::atomic<bool> m_failed{false};   // the stream died on its own
    std::atomic<uint32_t> m_volume{0xFFFFFFFF};

    CSemaphoreWake m_wake; // before the queue, which posts to it until its end
    CWaveQueue m_queue{m_wake};
};
