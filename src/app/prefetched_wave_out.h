// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/wave_out.h"

#include <QObject>

#include <functional>
#include <future>
#include <memory>

// A wave-output service made, and its devices listed, on a thread of its own
// once Start() is called, after the window is up: connecting to a sound
// system and probing its devices takes longer than the window itself, the
// first paint needs neither, and loading the sound system's plug-ins would
// hold up the loading of the window's own. Every call starts the work if need
// be, waits for it, then goes to the service made; the first Devices()
// returns the list made meanwhile. Ready() is emitted on the object's own
// thread once the work is done.
class CPrefetchedWaveOut : public QObject, public IWaveOut
{
    Q_OBJECT
public:
    explicit CPrefetchedWaveOut(std::function<std::unique_ptr<IWaveOut>()> make);
    ~CPrefetchedWaveOut() override;

    // Idempotent; the object's own thread only.
    void Start();

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
    int64_t FirstReplaceable(WaveHandle handle) override;
    WaveResult ReplaceQueued(WaveHandle handle, int64_t from, const int16_t* samples, uint32_t count) override;

signals:
    void Ready();

private:
    IWaveOut& Inner() const;
    void Launch() const;

    std::function<std::unique_ptr<IWaveOut>()> m_make;
    std::unique_ptr<IWaveOut> m_inner;
    std::vector<WaveDeviceInfo> m_devices;
    bool m_devicesTaken = false;
    // Shared, so that waiting on it is safe from any thread (DeviceListVersion).
    // Set once, on the object's own thread, before any other thread uses it;
    // a const call made before Start() sets it too.
    mutable std::shared_future<void> m_work;
};
