// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/playback_engine.h"

#include <cmath>
#include <utility>

#include "synth/noise_type.h"
#include "synth/rounding.h"

namespace {
const char* const kCaption = "Warning";
const char* const kNoDevice = "No audio mixer device found";
const char* const kCantOpen = "I can't open the sound device";

// What the desktop's mixer calls the stream.
std::string StreamName(const PlayParameters& params)
{
    switch (params.noiseType) {
    case Physiological:
        return "Physiological noise";
    case White:
        return "White noise";
    case Pink:
        return "Pink noise";
    case TinnitusFinder:
        return "Tone " + std::to_string(params.tinnitusFreq) + " Hz";
    default:
        return "Noise";
    }
}
NotchBand NotchOf(const PlayParameters& params)
{
    return NotchBand{params.notch && !IsTone(params.noiseType), static_cast<double>(params.tinnitusFreq),
                     ValidNotchWidth(params.notchWidthOctaves)};
}
}  // namespace

CPlaybackEngine::CPlaybackEngine(IWaveOut& waveOut, ISignalGenerator& synth, IPlayControls& controls,
                                 IStatusSink& status, IMessageReporter& messages)
    : m_waveOut(waveOut),
      m_synth(synth),
      m_controls(controls),
      m_statusSink(status),
      m_messages(messages),
      m_playBuffer(new int16_t[kPeriodSamples]()),
      m_shaper(synth.Source(), m_playBuffer.get())
{
}

CPlaybackEngine::~CPlaybackEngine()
{
    Shutdown();
}

void CPlaybackEngine::InitDevices()
{
    m_headers[0].data = m_playBuffer.get();

    const std::vector<WaveDeviceInfo> devices = m_waveOut.Devices();
    m_deviceIds.reserve(devices.size());
    for (uint32_t id = 0; id < devices.size(); ++id) {
        if (devices[id].takesMono16At44100) {
            m_deviceNames.push_back(devices[id].name);
            m_deviceIds.push_back(id);
        }
    }
    if (m_deviceNames.empty()) {
        m_messages.Report(kCaption, kNoDevice, MessageIcon::None);
    } else {
        m_selectedEntry = 0;
        m_deviceId = m_deviceIds[0];
        m_deviceChosen = true;
    }

    m_volume = static_cast<int>(100.0 * std::log(1.1));
    SetVolume(m_volume);

    // With nothing listed there is no device to try: the warning above says it all.
    if (m_deviceChosen && !OpenDevice())
        m_messages.Report(kCaption, kCantOpen, MessageIcon::Exclamation);
}

bool CPlaybackEngine::OpenDevice()
{
    m_deviceOpen = m_waveOut.Open(&m_hWaveOut, m_deviceId, m_waveFormat, &CPlaybackEngine::WaveOutProc, this) ==
                   WaveResult::Ok;
    m_deviceFailed.store(false, std::memory_order_relaxed);
    // A device opened afresh plays at the slider's level, not at its own default.
    if (m_deviceOpen)
        SetVolume(m_volume);
    return m_deviceOpen;
}

void CPlaybackEngine::CloseDevice()
{
    UnprepareHeaders();
    if (std::exchange(m_cuePrepared, false))
        m_waveOut.UnprepareHeader(m_hWaveOut, &m_cueHeader);
    m_waveOut.Close(m_hWaveOut);
    m_deviceOpen = false;
}

void CPlaybackEngine::HaltOutput()
{
    m_playing.store(false, std::memory_order_release);
    // A refill that saw m_playing set finishes (and queues its half) before the
    // reset below, which then hands that half back too.
    { std::lock_guard lock(m_refillMutex); }
    if (m_deviceOpen)
        m_waveOut.Reset(m_hWaveOut);
    m_cueDone.store(true, std::memory_order_release);
}

bool CPlaybackEngine::PlayCue(const int16_t* samples, uint32_t count)
{
    if (!m_deviceOpen)
        return false;
    const bool wasPlaying = m_playing.load(std::memory_order_acquire);
    HaltOutput();
    if (wasPlaying)
        SetStatus("nothing to do");
    // The halves are queued again in full by the next Play.
    m_paramsChanged = true;
    if (m_cuePrepared)
        m_waveOut.UnprepareHeader(m_hWaveOut, &m_cueHeader);
    m_cueHeader = WaveHeader{samples, count * 2, 0};
    m_waveOut.PrepareHeader(m_hWaveOut, &m_cueHeader);
    m_cuePrepared = true;
    m_cueDone.store(false, std::memory_order_release);
    if (m_waveOut.Write(m_hWaveOut, &m_cueHeader) != WaveResult::Ok) {
        m_cueDone.store(true, std::memory_order_release);
        return false;
    }
    return true;
}

void CPlaybackEngine::ApplyParameters(const PlayParameters& params)
{
    m_params = params;
    SetSurf(params.surfStrength, params.surfPeriod);
}

void CPlaybackEngine::SetSurf(double strength, double period)
{
    m_shaper.m_surfStrength.store(strength, std::memory_order_relaxed);
    m_shaper.m_surfPeriod.store(period, std::memory_order_relaxed);
}

void CPlaybackEngine::SetStatus(const char* text)
{
    m_status = text;
    m_statusSink.ShowStatus(m_status);
}

void CPlaybackEngine::PrepareHeaders(int halfLength)
{
    const uint32_t bytes = static_cast<uint32_t>(halfLength) * 2;
    if (m_headersPrepared && m_headers[0].bufferLengthBytes == bytes)
        return;
    UnprepareHeaders();
    m_headers[0].bufferLengthBytes = bytes;
    m_headers[1].bufferLengthBytes = bytes;
    m_headers[1].data = m_playBuffer.get() + halfLength;
    m_waveOut.PrepareHeader(m_hWaveOut, &m_headers[0]);
    m_waveOut.PrepareHeader(m_hWaveOut, &m_headers[1]);
    m_headersPrepared = true;
}

void CPlaybackEngine::UnprepareHeaders()
{
    m_waveOut.UnprepareHeader(m_hWaveOut, &m_headers[0]);
    m_waveOut.UnprepareHeader(m_hWaveOut, &m_headers[1]);
    m_headersPrepared = false;
}

void CPlaybackEngine::OnPlay()
{
    if (m_playing.load(std::memory_order_acquire) && m_synth.Ready() && !m_paramsChanged)
        return;
    if (!m_deviceOpen)
        return;
    ApplyParameters(m_controls.ReadControls());
    m_paramsChanged = false;
    m_waveOut.SetStreamName(StreamName(m_params));
    // After a failed requeue the other half may still sit at the device: take
    // it back before the halves are refilled and queued again.
    if (m_deviceFailed.exchange(false, std::memory_order_acq_rel) || !m_cueDone.load(std::memory_order_acquire))
        HaltOutput();

    if (m_playing.load(std::memory_order_acquire)) {
        HaltOutput();
        CloseDevice();
        if (!OpenDevice()) {
            // Nothing can be heard now: say so rather than claim "playing".
            m_messages.Report(kCaption, kCantOpen, MessageIcon::Exclamation);
            SetStatus("nothing to do");
            return;
        }
    }

    if (!m_synth.Ready()) {
        SetStatus("generating noise signal");
        if (IsTone(m_params.noiseType))
            m_synth.SynthesizeTone(static_cast<double>(m_params.tinnitusFreq));
        else
            m_synth.Synthesize(m_params.noiseType, m_params.lowerLimit, m_params.upperLimit, NotchOf(m_params));
    }

    // No refill runs now, so the feed may start over.
    const bool endless = m_params.endless && !IsTone(m_params.noiseType);
    const int16_t* source = m_synth.Source();
    if (endless) {
        if (!m_feed)
            m_feed = std::make_unique<CEndlessFeed>();
        source = m_feed->Start(m_params.noiseType, m_params.lowerLimit, m_params.upperLimit, m_params.seed,
                               NotchOf(m_params));
    }

    PrepareHeaders(CSurfShaper::HalfLength(m_params.noiseType));
    m_shaper.m_playedType.store(m_params.noiseType, std::memory_order_relaxed);
    {
        std::lock_guard lock(m_refillMutex);
        m_endlessPlaying = endless;
        m_shaper.SetSource(source);
        m_shaper.m_surfCounter.store(0, std::memory_order_relaxed);
        m_shaper.FillHalf(0);
        m_shaper.FillHalf(1);
        m_nextHalf = 0;
    }
    m_playing.store(true, std::memory_order_release);
    SetStatus("playing");
    if (!StartOutput())
        OnOutputFailed();
}

bool CPlaybackEngine::StartOutput()
{
    return m_waveOut.Write(m_hWaveOut, &m_headers[0]) == WaveResult::Ok &&
           m_waveOut.Write(m_hWaveOut, &m_headers[1]) == WaveResult::Ok;
}

void CPlaybackEngine::OnOutputFailed()
{
    HaltOutput();
    m_deviceFailed.store(false, std::memory_order_relaxed);
    m_messages.Report(kCaption, kCantOpen, MessageIcon::Exclamation);
    SetStatus("nothing to do");
}

void CPlaybackEngine::OnStop()
{
    HaltOutput();
    SetStatus("nothing to do");
}

void CPlaybackEngine::OnSelchangeSoundDevice(int entry)
{
    ApplyParameters(m_controls.ReadControls());
    HaltOutput();
    SetStatus("nothing to do");
    if (entry < 0 || entry >= static_cast<int>(m_deviceIds.size()))
        return;
    m_selectedEntry = entry;
    m_deviceId = m_deviceIds[entry];
    m_deviceChosen = true;
    if (m_deviceOpen)
        CloseDevice();
    // A failed open leaves no device: Play must then do nothing.
    if (!OpenDevice())
        m_messages.Report(kCaption, kCantOpen, MessageIcon::Exclamation);
}

uint32_t CPlaybackEngine::SetVolume(int position)
{
    m_volume = position;
    double v = position / (100.0 * std::log(100.0)) * 65535.0;
    if (v < 0.0)
        v = 0.0;
    if (v > 65535.0)
        v = 65535.0;
    const uint32_t w = static_cast<uint32_t>(RoundHalfUp(v));
    if (m_deviceOpen)
        m_waveOut.SetVolume(m_hWaveOut, w | (w << 16));
    return w;
}

void CPlaybackEngine::RetuneTone(double frequency)
{
    if (!m_playing.load(std::memory_order_acquire) || !IsTone(PlayedType()))
        return;
    // The queued halves still hold the old tone; restarting them makes the new
    // one heard at once instead of a second later.
    HaltOutput();
    {
        std::lock_guard lock(m_refillMutex);
        m_synth.SynthesizeTone(frequency);
        m_shaper.FillHalf(0);
        m_shaper.FillHalf(1);
        m_nextHalf = 0;
    }
    m_playing.store(true, std::memory_order_release);
    if (!StartOutput())
        OnOutputFailed();
}

bool CPlaybackEngine::OnCheckDevice()
{
    if (!m_deviceFailed.exchange(false, std::memory_order_acq_rel))
        return false;
    HaltOutput();
    SetStatus("nothing to do");
    return true;
}

void CPlaybackEngine::Shutdown()
{
    if (!m_deviceOpen)
        return;
    HaltOutput();
    CloseDevice();
}

void CPlaybackEngine::WaveOutProc(WaveHandle handle, WaveMessage message, void* context, WaveHeader* header)
{
    auto* engine = static_cast<CPlaybackEngine*>(context);
    if (header == &engine->m_cueHeader) {
        engine->m_cueDone.store(true, std::memory_order_release);
        return;
    }
    if (message == WaveMessage::DeviceError) {
        engine->m_playing.store(false, std::memory_order_release);
        engine->m_deviceFailed.store(true, std::memory_order_release);
        return;
    }
    engine->Refill(handle);
}

void CPlaybackEngine::Refill(WaveHandle handle)
{
    std::lock_guard lock(m_refillMutex);
    if (!m_playing.load(std::memory_order_acquire))
        return;
    // Completions come in queue order and Play queues half 0 first, so the
    // halves alternate without looking at the header.
    const int h = m_nextHalf;
    // Half 0 begins a period: endless noise moves on to the next one.
    if (h == 0 && m_endlessPlaying)
        m_shaper.SetSource(m_feed->Advance());
    m_shaper.FillHalf(h);
    if (m_waveOut.Write(handle, &m_headers[h]) != WaveResult::Ok) {
        m_playing.store(false, std::memory_order_release);
        m_deviceFailed.store(true, std::memory_order_release);
    }
    m_nextHalf = 1 - h;
}
