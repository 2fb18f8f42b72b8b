// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/wave_out.h"

#include <functional>
#include <future>
#include <memory>

// A wave-output service made, and its devices listed, on a thread of its own
// while the window builds: connecting to a sound system and probing its
// devices takes longer than the window itself, and the first paint needs
// neither. Every call waits for that work, then goes to the service made;
// the first Devices() returns the list made meanwhile.
class CPrefetchedWaveOut : public IWaveOut
{
public:
    explicit CPrefetchedWaveOut(std::function<std::unique_ptr<IWaveOut>()> make);
    ~CPrefetchedWaveOut() override;

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
    uint32_t DeviceListVersion() const override;

private:
    IWaveOut& Inner() const;

    std::unique_ptr<IWaveOut> m_inner;
    std::vector<WaveDeviceInfo> m_devices;
    bool m_devicesTaken = false;
    // Shared, so that waiting on it is safe from any thread (DeviceListVersion).
    std::shared_future<void> m_work;
};
