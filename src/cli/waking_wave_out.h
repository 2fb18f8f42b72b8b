// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <signal.h>

#include <atomic>

#include "playback/wave_out.h"

// Passes every call to the backend, and after each notification has run
// sends `wakeSignal` to the process, so that a thread waiting for it in
// sigtimedwait (with the signal blocked everywhere) looks at the engine
// exactly when a buffer came back: when the stream ended or the device
// failed, and otherwise about once per half.
class CWakingWaveOut final : public IWaveOut
{
public:
    CWakingWaveOut(IWaveOut& backend, int wakeSignal) : m_backend(backend), m_signal(wakeSignal) {}

    // Drain on the handle the engine opened; true when nothing is open.
    bool DrainOpen(int timeoutMs);

    std::vector<WaveDeviceInfo> Devices() override { return m_backend.Devices(); }
    WaveResult Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                    void* context) override;
    WaveResult PrepareHeader(WaveHandle handle, WaveHeader* header) override
    {
        return m_backend.PrepareHeader(handle, header);
    }
    WaveResult UnprepareHeader(WaveHandle handle, WaveHeader* header) override
    {
        return m_backend.UnprepareHeader(handle, header);
    }
    WaveResult Write(WaveHandle handle, WaveHeader* header) override { return m_backend.Write(handle, header); }
    WaveResult Reset(WaveHandle handle) override { return m_backend.Reset(handle); }
    WaveResult Close(WaveHandle handle) override;
    WaveResult SetVolume(WaveHandle handle, uint32_t volume) override { return m_backend.SetVolume(handle, volume); }
    bool Drain(WaveHandle handle, int timeoutMs) override { return m_backend.Drain(handle, timeoutMs); }
    void SetStreamName(const std::string& name) override { m_backend.SetStreamName(name); }
    std::optional<std::string> UnreachedServer() const override { return m_backend.UnreachedServer(); }
    uint32_t DeviceListVersion() const override { return m_backend.DeviceListVersion(); }

private:
    static void OnNotification(WaveHandle handle, WaveMessage message, void* self, WaveHeader* header);

    IWaveOut& m_backend;
    const int m_signal;
    WaveHandle m_open = 0;
    std::atomic<WaveCallback> m_callback{nullptr};
    std::atomic<void*> m_context{nullptr};
};
