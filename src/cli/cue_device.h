// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/play_controls.h"
#include "base/status_sink.h"
#include "cli/stderr_reporter.h"
#include "playback/backends/backend_choice.h"
#include "playback/noise_synth_generator.h"
#include "playback/playback_engine.h"
#include "synth/noise_synth.h"

// A sound device that plays cues only (the tones of match and hearing): the
// engine over the chosen backend and device, its noise never sounding.
class CCueDevice
{
public:
    CCueDevice() = default;
    ~CCueDevice();
    CCueDevice(const CCueDevice&) = delete;
    CCueDevice& operator=(const CCueDevice&) = delete;

    // Chooses the backend and opens device (an index or name; empty: the
    // first) at volume position `volume`. 0 when open; otherwise the exit
    // status (1 no usable device, 2 a bad --backend or --device), after
    // saying why on standard error. `command` names the command for the
    // hint to its --help.
    int Open(WaveBackend backend, const std::string& device, int volume, const char* command);

    // Plays samples once, after ending the cue before, in one ear or both
    // (one ear opens the device with two channels). False when the device
    // refused them.
    bool Play(std::vector<int16_t> samples, ToneEar ear = ToneEar::Both);
    void SetVolume(int position) { m_engine->SetVolume(position); }
    // The chosen device's name as listed.
    std::string DeviceName() const;
    void Close();

private:
    // The tones are cues of their own; the engine's noise parameters never sound.
    class CSilentControls : public IPlayControls
    {
    public:
        PlayParameters ReadControls() override { return PlayParameters{}; }
    };
    class CQuietStatus : public IStatusSink
    {
    public:
        void ShowStatus(const std::string&) override {}
    };

    // Declared before the engine, which hands it back before it goes.
    std::vector<int16_t> m_cue;
    CStderrReporter m_reporter;
    CQuietStatus m_status;
    CSilentControls m_controls;
    CNoiseSynth m_synth;
    CNoiseSynthGenerator m_generator{m_synth};
    std::unique_ptr<IWaveOut> m_waveOut;
    std::unique_ptr<CPlaybackEngine> m_engine;
};
