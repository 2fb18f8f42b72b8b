// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/playback_engine.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "playback/fade_curve.h"
#include "synth/noise_type.h"
#include "synth/rounding.h"

namespace
{
const char* const kCaption = "Warning";
const char* const kNoDevice = "No audio mixer device found";
const char* const kCantOpen = "I can't open the sound device";

// What the desktop's mixer calls the stream.
std::string StreamName(const PlayParameters& params)
{
    switch (params.noiseType)
    {
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
} // namespace

CPlaybackEngine::CPlaybackEngine(IWaveOut& waveOut, ISignalGenerator& synth, IPlayControls& controls,
                                 IStatusSink& status, IMessageReporter& messages)
    : m_waveOut(waveOut),
      m_synth(synth),
      m_controls(controls),
      m_statusSink(status),
      m_messages(messages),
      m_playBuffer(MakeZeroedArray<int16_t>(kPeriodSamples)),
      m_shaper(synth.Source(), m_playBuffer.get())
{}

CPlaybackEngine::~CPlaybackEngine()
{
    Shutdown();
}

void CPlaybackEngine::InitDevices()
{
    m_headers[0].data = m_playBuffer.get();

    ListDevices();
    if (m_deviceNames.empty())
    {
        m_messages.Report(kCaption, kNoDevice, MessageIcon::None);
    }
    else
    {
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

void CPlaybackEngine::ListDevices()
{
    // Read before the list, so that a change during the read is seen next time.
    m_deviceListVersion = m_waveOut.DeviceListVersion();
    const std::vector<WaveDeviceInfo> devices = m_waveOut.Devices();
    m_deviceIds.clear();
    m_deviceNames.clear();
    m_deviceIds.reserve(devices.size());
    for (uint32_t id = 0; id < devices.size(); ++id)
    {
        if (devices[id].takesMono16At44100)
        {
            m_deviceNames.push_back(devices[id].name);
            m_deviceIds.push_back(id);
        }
    }
}

bool CPlaybackEngine::RefreshDevices()
{
    if (m_waveOut.DeviceListVersion() == m_deviceListVersion)
        return false;
    const std::string chosen = m_selectedEntry >= 0 && m_selectedEntry < static_cast<int>(m_deviceNames.size())
                                   ? m_deviceNames[m_selectedEntry]
                                   : std::string();
    ListDevices();
    const auto kept = std::find(m_deviceNames.begin(), m_deviceNames.end(), chosen);
    if (!chosen.empty() && kept != m_deviceNames.end())
    {
        // Ids are positions in the backend's list; the open stream stays.
        m_selectedEntry = static_cast<int>(kept - m_deviceNames.begin());
        m_deviceId = m_deviceIds[m_selectedEntry];
        return true;
    }
    if (m_deviceNames.empty())
    {
        m_selectedEntry = -1;
        return true;
    }
    const bool wasPlaying = IsPlaying();
    HaltOutput();
    if (m_deviceOpen)
        CloseDevice();
    m_selectedEntry = 0;
    m_deviceId = m_deviceIds[0];
    m_deviceChosen = true;
    if (!OpenDevice())
    {
        m_messages.Report(kCaption, kCantOpen, MessageIcon::Exclamation);
        SetStatus("nothing to do");
        return true;
    }
    if (wasPlaying)
        OnPlay();
    return true;
}

bool CPlaybackEngine::OpenDevice()
{
    m_deviceOpen =
        m_waveOut.Open(&m_hWaveOut, m_deviceId, m_waveFormat, &CPlaybackEngine::WaveOutProc, this) == WaveResult::Ok;
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
    {
        std::lock_guard lock(m_refillMutex);
    }
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
    if (m_waveOut.Write(m_hWaveOut, &m_cueHeader) != WaveResult::Ok)
    {
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
    if (m_headersPrepared && m_halfBytes == bytes)
        return;
    m_halfBytes = bytes;
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
    if (m_rampPrepared)
    {
        m_waveOut.UnprepareHeader(m_hWaveOut, &m_rampHeader);
        m_rampPrepared = false;
    }
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

    // Glide: the sound goes on and crossfades into the new one. A change
    // between noise and tone (other half lengths) or of endless noise cuts.
    const bool playingNow = m_playing.load(std::memory_order_acquire);
    if (playingNow && m_params.glide && !m_endlessPlaying && !m_params.endless
        && CSurfShaper::HalfLength(m_params.noiseType) == CSurfShaper::HalfLength(PlayedType()))
    {
        if (!m_synth.Ready())
            GlideTo(IsTone(m_params.noiseType), static_cast<double>(m_params.tinnitusFreq));
        return;
    }

    if (m_playing.load(std::memory_order_acquire))
    {
        HaltOutput();
        CloseDevice();
        if (!OpenDevice())
        {
            // Nothing can be heard now: say so rather than claim "playing".
            m_messages.Report(kCaption, kCantOpen, MessageIcon::Exclamation);
            SetStatus("nothing to do");
            return;
        }
    }

    if (!m_synth.Ready())
    {
        SetStatus("generating noise signal");
        if (IsTone(m_params.noiseType))
            m_synth.SynthesizeTone(static_cast<double>(m_params.tinnitusFreq));
        else
            m_synth.Synthesize(m_params.noiseType, m_params.lowerLimit, m_params.upperLimit, NotchOf(m_params));
    }

    // No refill runs now, so the feed may start over.
    const bool endless = m_params.endless && !IsTone(m_params.noiseType);
    const int16_t* source = m_synth.Source();
    if (endless)
    {
        if (!m_feed)
            m_feed = std::make_unique<CEndlessFeed>();
        source = m_feed->Start(m_params.noiseType, m_params.lowerLimit, m_params.upperLimit, m_params.seed,
                               NotchOf(m_params), m_endlessTilt);
    }

    PrepareHeaders(CSurfShaper::HalfLength(m_params.noiseType));
    m_shaper.m_playedType.store(m_params.noiseType, std::memory_order_relaxed);
    {
        std::lock_guard lock(m_refillMutex);
        m_endlessPlaying = endless;
        m_shaper.SetSource(source);
        m_shaper.m_surfCounter.store(0, std::memory_order_relaxed);
        m_streamIndex = 0;
        m_streamEnded = false;
        m_glideStart = -1;
        m_gain.SetFadeIn(m_params.fadeInSamples);
        if (m_params.endSample >= 0)
            m_gain.SetFadeOut(m_params.endSample, m_params.fadeOutSamples);
        else
            m_gain.ClearFadeOut();
        m_ended.store(false, std::memory_order_relaxed);
        m_playStart = std::chrono::steady_clock::now();
        MakeHalf(0);
        MakeHalf(1);
        m_nextHalf = 0;
    }
    m_playing.store(true, std::memory_order_release);
    SetStatus("playing");
    if (!StartOutput())
        OnOutputFailed();
}

void CPlaybackEngine::GlideTo(bool tone, double frequency)
{
    if (!m_glideOld)
    {
        m_glideOld.reset(new int16_t[kPeriodSamples]);
        m_glideMix.reset(new int16_t[kPeriodSamples]);
    }
    {
        std::lock_guard lock(m_refillMutex);
        std::copy(m_synth.Source(), m_synth.Source() + kPeriodSamples, m_glideOld.get());
        m_shaper.SetSource(m_glideOld.get());
        m_glideStart = -1;
    }
    if (!tone)
        SetStatus("generating noise signal");
    if (tone)
        m_synth.SynthesizeTone(frequency);
    else
        m_synth.Synthesize(m_params.noiseType, m_params.lowerLimit, m_params.upperLimit, NotchOf(m_params));
    {
        std::lock_guard lock(m_refillMutex);
        m_glideStart = m_streamIndex;
        m_shaper.m_playedType.store(m_params.noiseType, std::memory_order_relaxed);
    }
    m_waveOut.SetStreamName(StreamName(m_params));
    if (!tone)
        SetStatus("playing");
}

void CPlaybackEngine::MixGlide(int half, int length)
{
    const int start = half != 0 ? length : 0;
    const int16_t* next = m_synth.Source();
    for (int k = start; k < start + length; ++k)
    {
        const int64_t position = m_streamIndex + (k - start) - m_glideStart;
        m_glideMix[k] = FadeCurve::GlideMix(m_glideOld[k], next[k],
                                            static_cast<double>(position) / static_cast<double>(kGlideSamples));
    }
    m_shaper.SetSource(m_glideMix.get());
}

bool CPlaybackEngine::MakeHalf(int half)
{
    if (m_streamEnded)
    {
        m_headers[half].bufferLengthBytes = 0;
        return false;
    }
    const int length = static_cast<int>(m_halfBytes / 2);
    const bool gliding = m_glideStart >= 0;
    if (gliding)
        MixGlide(half, length);
    m_shaper.FillHalf(half);
    m_halfStart[half] = m_streamIndex;
    if (gliding && m_streamIndex + length - m_glideStart >= kGlideSamples)
    {
        m_shaper.SetSource(m_synth.Source());
        m_glideStart = -1;
    }
    const int kept = m_gain.Apply(m_playBuffer.get() + (half != 0 ? length : 0), length, m_streamIndex);
    m_streamIndex += length;
    // The device plays a header's length: the half holding the end is cut there.
    m_headers[half].bufferLengthBytes = static_cast<uint32_t>(kept) * 2;
    if (kept < length)
        m_streamEnded = true;
    return kept > 0;
}

bool CPlaybackEngine::QueueHalf(WaveHandle handle, int half)
{
    if (m_headers[half].bufferLengthBytes == 0)
        return true;
    if (m_waveOut.Write(handle, &m_headers[half]) != WaveResult::Ok)
        return false;
    ++m_queued;
    return true;
}

bool CPlaybackEngine::StartOutput()
{
    bool ok = false;
    {
        std::lock_guard lock(m_refillMutex);
        m_queued = 0;
        ok = QueueHalf(m_hWaveOut, 0) && QueueHalf(m_hWaveOut, 1);
        if (ok && m_queued == 0)
            m_ended.store(true, std::memory_order_release);
    }
    return ok;
}

void CPlaybackEngine::SetStreamEnd(int64_t end, int64_t fade)
{
    std::lock_guard lock(m_refillMutex);
    m_gain.SetFadeOut(end, fade);
}

void CPlaybackEngine::ClearStreamEnd()
{
    std::lock_guard lock(m_refillMutex);
    m_gain.ClearFadeOut();
}

int64_t CPlaybackEngine::PlayedSample() const
{
    if (!IsPlaying())
        return 0;
    const auto elapsed = std::chrono::steady_clock::now() - m_playStart;
    return std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * 441 / 10000;
}

bool CPlaybackEngine::OnCheckEnded()
{
    if (!m_ended.exchange(false, std::memory_order_acq_rel))
        return false;
    HaltOutput();
    SetStatus("nothing to do");
    return true;
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
    const bool ramp = m_params.glide && m_playing.load(std::memory_order_acquire) && m_deviceOpen;
    const int64_t heard = PlayedSample();
    HaltOutput();
    if (ramp)
        QueueStopRamp(heard);
    SetStatus("nothing to do");
}

void CPlaybackEngine::QueueStopRamp(int64_t heard)
{
    // The halves still hold the samples around the one being heard; the
    // ramp takes them from there (silence where it runs past them).
    const int length = static_cast<int>(m_halfBytes / 2);
    for (int k = 0; k < kStopRampSamples; ++k)
    {
        const int64_t at = heard + k;
        int16_t sample = 0;
        for (int h = 0; h < 2; ++h)
        {
            const int64_t into = at - m_halfStart[h];
            if (into >= 0 && into < static_cast<int64_t>(m_headers[h].bufferLengthBytes / 2))
                sample = m_playBuffer[static_cast<size_t>(h * length + into)];
        }
        m_rampSamples[k] = FadeCurve::Scale(sample, FadeCurve::StopRampGain(k, kStopRampSamples));
    }
    m_rampHeader.data = m_rampSamples;
    m_rampHeader.bufferLengthBytes = kStopRampSamples * 2;
    if (!m_rampPrepared)
        m_rampPrepared = m_waveOut.PrepareHeader(m_hWaveOut, &m_rampHeader) == WaveResult::Ok;
    if (m_rampPrepared)
        m_waveOut.Write(m_hWaveOut, &m_rampHeader);
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
    if (m_params.glide)
    {
        GlideTo(true, frequency);
        return;
    }
    // The queued halves still hold the old tone; restarting them makes the new
    // one heard at once instead of a second later.
    HaltOutput();
    {
        std::lock_guard lock(m_refillMutex);
        m_synth.SynthesizeTone(frequency);
        MakeHalf(0);
        MakeHalf(1);
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
    // The ramp after Stop is no half: nothing follows it.
    if (header == &engine->m_rampHeader)
        return;
    if (header == &engine->m_cueHeader)
    {
        engine->m_cueDone.store(true, std::memory_order_release);
        return;
    }
    if (message == WaveMessage::DeviceError)
    {
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
    --m_queued;
    if (m_streamEnded)
    {
        // Only the last halves play out; the end is reached when they are back.
        if (m_queued <= 0)
            m_ended.store(true, std::memory_order_release);
        return;
    }
    if (h == 0 && m_endlessPlaying)
        m_shaper.SetSource(m_feed->Advance());
    MakeHalf(h);
    if (!QueueHalf(handle, h))
    {
        m_playing.store(false, std::memory_order_release);
        m_deviceFailed.store(true, std::memory_order_release);
    }
    else if (m_queued == 0)
    {
        m_ended.store(true, std::memory_order_release);
    }
    m_nextHalf = 1 - h;
}
