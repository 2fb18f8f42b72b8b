// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/playback_engine.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "synth/ear_gain.h"
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
        case Brown:
            return "Brown noise";
        case TinnitusFinder:
            return "Tone " + std::to_string(params.tinnitusFreq) + " Hz";
        default:
            return "Noise";
    }
}
} // namespace

CPlaybackEngine::CPlaybackEngine(IWaveOut& waveOut, ISignalGenerator& synth, IPlayControls& controls,
                                 IStatusSink& status, IMessageReporter& messages, ISignalGenerator* rightSynth)
    : m_waveOut(waveOut),
      m_synth(synth),
      m_controls(controls),
      m_statusSink(status),
      m_messages(messages),
      m_cue(waveOut),
      m_chain(synth),
      m_ears(m_chain, synth, rightSynth)
{}

CPlaybackEngine::~CPlaybackEngine()
{
    Shutdown();
}

void CPlaybackEngine::InitDevices()
{
    m_headers[0].data = m_chain.Buffer();

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
    m_cue.Release(m_hWaveOut);
    m_waveOut.Close(m_hWaveOut);
    m_deviceOpen = false;
}

bool CPlaybackEngine::ReopenWithChannels(int channels)
{
    if (m_deviceOpen && m_waveFormat.channels == channels)
        return true;
    const int had = m_waveFormat.channels;
    HaltOutput();
    if (m_deviceOpen)
        CloseDevice();
    m_waveFormat.channels = channels;
    if (OpenDevice())
        return true;
    // A device that takes no second channel still plays mono.
    m_waveFormat.channels = had;
    OpenDevice();
    return false;
}

void CPlaybackEngine::HaltOutput()
{
    m_playing.store(false, std::memory_order_release);
    // A refill that saw m_playing set finishes (and queues its half) before the
    // reset below, which then hands that half back too.
    {
        const auto lock = m_chain.Lock();
    }
    if (m_deviceOpen)
        m_waveOut.Reset(m_hWaveOut);
    {
        const auto lock = m_chain.Lock();
        m_deviceWritten = 0;
        m_queued = 0;
    }
    m_tailQueued = false;
    m_cue.MarkDone();
}

bool CPlaybackEngine::PlayCue(const int16_t* samples, uint32_t count, ToneEar ear)
{
    if (!m_deviceOpen)
        return false;
    const bool wasPlaying = m_playing.load(std::memory_order_acquire);
    HaltOutput();
    if (wasPlaying)
        SetStatus("nothing to do");
    // One ear needs a channel of its own.
    if (ear != ToneEar::Both && !ReopenWithChannels(2))
        return false;
    // The sound server shows the stream by its name: the noise is gone.
    m_waveOut.SetStreamName("Test tone");
    // The halves are queued again in full by the next Play.
    m_paramsChanged = true;
    if (!m_cue.Queue(m_hWaveOut, samples, count, ear, m_waveFormat.channels))
        return false;
    const auto lock = m_chain.Lock();
    m_deviceWritten += count;
    return true;
}

void CPlaybackEngine::ApplyParameters(const PlayParameters& params)
{
    m_params = params;
    SetSurf(params.surfStrength, params.surfPeriod);
}

void CPlaybackEngine::SetSurf(double strength, double period)
{
    m_chain.SetSurf(strength, period);
    m_ears.SetSurf(strength, period);
}

void CPlaybackEngine::SetEndlessTilts(const SpectrumTilt& left, const SpectrumTilt& right)
{
    m_chain.SetEndlessTilt(left);
    m_ears.SetEndlessTilt(right);
}

void CPlaybackEngine::SetStreamEnd(int64_t end, int64_t fade)
{
    m_chain.SetStreamEnd(end, fade);
    m_ears.SetStreamEnd(end, fade);
}

void CPlaybackEngine::MakeHalf(int half)
{
    m_chain.FillHalf(half);
    m_ears.FillHalf(half);
    m_ears.InterleaveHalf(half);
    TakeHalf(half);
}

void CPlaybackEngine::SetStatus(const char* text)
{
    m_status = text;
    m_statusSink.ShowStatus(m_status);
}

void CPlaybackEngine::PrepareHeaders(int halfLength)
{
    const int channels = m_ears.Channels();
    const uint32_t bytes = static_cast<uint32_t>(halfLength) * 2 * channels;
    const int16_t* const buffer = m_ears.Buffer();
    if (m_headersPrepared && m_halfBytes == bytes && m_headers[0].data == buffer)
        return;
    m_halfBytes = bytes;
    UnprepareHeaders();
    m_headers[0].data = buffer;
    m_headers[0].bufferLengthBytes = bytes;
    m_headers[1].bufferLengthBytes = bytes;
    m_headers[1].data = buffer + static_cast<ptrdiff_t>(halfLength) * channels;
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
    // it back before the halves are refilled and queued again. The same for a
    // cue, and for the end of a stopped run, which belongs to that run.
    if (m_deviceFailed.exchange(false, std::memory_order_acq_rel) || !m_cue.Done() || m_tailQueued)
        HaltOutput();

    // Glide: the sound goes on and crossfades into the new one. A change
    // between noise and tone (other half lengths), of endless noise or
    // between mono and stereo cuts.
    const bool playingNow = m_playing.load(std::memory_order_acquire);
    const int channels = m_ears.Wanted(m_params) ? 2 : 1;
    if (playingNow && m_params.glide && !m_chain.Endless() && !m_params.endless
        && CSurfShaper::HalfLength(m_params.noiseType) == CSurfShaper::HalfLength(PlayedType())
        && channels == m_waveFormat.channels)
    {
        // New ear levels are heard from the next refill.
        if (channels == 2)
            m_ears.SetEars(m_params);
        if (!m_synth.Ready() || !m_ears.RightReady())
            GlideTo(IsTone(m_params.noiseType), static_cast<double>(m_params.tinnitusFreq));
        return;
    }

    if (m_playing.load(std::memory_order_acquire) || channels != m_waveFormat.channels)
    {
        const int had = m_waveFormat.channels;
        HaltOutput();
        CloseDevice();
        m_waveFormat.channels = channels;
        if (!OpenDevice())
        {
            // A device that takes no second channel stays open for mono.
            if (channels != had)
            {
                m_waveFormat.channels = had;
                OpenDevice();
            }
            // Nothing can be heard now: say so rather than claim "playing",
            // before the message box holds the window.
            SetStatus("nothing to do");
            m_messages.Report(kCaption, kCantOpen, MessageIcon::Exclamation);
            return;
        }
    }

    m_ears.SetEars(m_params);
    const bool leftMadeNow = !m_synth.Ready();
    if (leftMadeNow)
    {
        SetStatus("generating noise signal");
        if (IsTone(m_params.noiseType))
            m_synth.SynthesizeTone(static_cast<double>(m_params.tinnitusFreq));
        else
            m_synth.Synthesize(m_params.noiseType, m_params.lowerLimit, m_params.upperLimit,
                               CRefillChain::Notch(m_params));
    }
    m_ears.SynthesizeRight(m_params, leftMadeNow);

    PrepareHeaders(CSurfShaper::HalfLength(m_params.noiseType));
    m_ended.store(false, std::memory_order_relaxed);
    m_playStart = std::chrono::steady_clock::now();
    PlayParameters run = m_params;
    if (m_endAfter >= 0)
    {
        run.endSample = m_endAfter;
        run.fadeOutSamples = m_endAfterFade;
    }
    m_chain.Start(run);
    m_ears.Start(run, m_params.seed);
    {
        const auto lock = m_chain.Lock();
        m_runBase = m_deviceWritten;
        m_ears.InterleaveHalf(0);
        m_ears.InterleaveHalf(1);
        TakeHalf(0);
        TakeHalf(1);
        m_nextHalf = 0;
    }
    m_playing.store(true, std::memory_order_release);
    SetStatus("playing");
    if (!StartOutput())
        OnOutputFailed();
}

void CPlaybackEngine::GlideTo(bool tone, double frequency)
{
    m_chain.HoldOldSound();
    m_ears.HoldOldSound();
    if (!tone)
        SetStatus("generating noise signal");
    if (tone)
        m_synth.SynthesizeTone(frequency);
    else
        m_synth.Synthesize(m_params.noiseType, m_params.lowerLimit, m_params.upperLimit, CRefillChain::Notch(m_params));
    m_ears.SynthesizeRight(m_params, true);
    if (!ReplaceWithGlide())
    {
        const auto lock = m_chain.Lock();
        m_chain.GlideFrom(m_chain.Position(), m_params.noiseType);
        m_ears.GlideFrom(m_chain.Position(), m_params.noiseType);
    }
    m_waveOut.SetStreamName(StreamName(m_params));
    if (!tone)
        SetStatus("playing");
}

bool CPlaybackEngine::ReplaceWithGlide()
{
    const int64_t replaceable = m_waveOut.FirstReplaceable(m_hWaveOut);
    if (replaceable < 0)
        return false;
    // The queued sound is made again from the first sample the device can
    // still replace, so that the change is heard at once. No refill may
    // queue anything meanwhile.
    m_playing.store(false, std::memory_order_release);
    int64_t from = 0;
    int count = 0;
    {
        const auto lock = m_chain.Lock();
        // At the stream's end the last halves play out as they are.
        if (!m_chain.StreamEnded() && m_deviceWritten - m_runBase == m_chain.Position())
        {
            from = std::max(replaceable - m_runBase, m_chain.OldestRemakeable());
            count = m_chain.GlideFrom(from, m_params.noiseType);
            m_ears.GlideFrom(from, m_params.noiseType);
            m_ears.InterleaveRemade(count);
        }
    }
    if (count <= 0
        || m_waveOut.ReplaceQueued(m_hWaveOut, m_runBase + from, m_ears.Remade(), static_cast<uint32_t>(count))
               != WaveResult::Ok)
    {
        m_playing.store(true, std::memory_order_release);
        return false;
    }
    bool ok = false;
    {
        // Every half came back: both are made anew after the replaced sound.
        const auto lock = m_chain.Lock();
        m_deviceWritten = m_runBase + from + count;
        m_queued = 0;
        const int first = m_nextHalf;
        MakeHalf(first);
        MakeHalf(1 - first);
        ok = QueueBoth(first);
    }
    m_playing.store(true, std::memory_order_release);
    if (!ok)
        OnOutputFailed();
    return true;
}

bool CPlaybackEngine::QueueHalf(WaveHandle handle, int half)
{
    if (m_headers[half].bufferLengthBytes == 0)
        return true;
    if (m_waveOut.Write(handle, &m_headers[half]) != WaveResult::Ok)
        return false;
    ++m_queued;
    m_deviceWritten += m_headers[half].bufferLengthBytes / m_ears.FrameBytes();
    return true;
}

bool CPlaybackEngine::QueueBoth(int first)
{
    const bool ok = QueueHalf(m_hWaveOut, first) && QueueHalf(m_hWaveOut, 1 - first);
    m_nextHalf = first;
    if (ok && m_queued == 0)
        m_ended.store(true, std::memory_order_release);
    return ok;
}

bool CPlaybackEngine::StartOutput()
{
    const auto lock = m_chain.Lock();
    m_queued = 0;
    return QueueBoth(0);
}

void CPlaybackEngine::SetStreamEndAfter(int64_t length, int64_t fade)
{
    m_endAfter = std::max<int64_t>(length, 0);
    m_endAfterFade = fade;
    if (IsPlaying())
        SetStreamEnd(PlayedSample() + m_endAfter, fade);
}

void CPlaybackEngine::ClearStreamEnd()
{
    m_endAfter = -1;
    m_chain.ClearStreamEnd();
    m_ears.ClearStreamEnd();
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
    // The status is true before the message box holds the window.
    SetStatus("nothing to do");
    m_messages.Report(kCaption, kCantOpen, MessageIcon::Exclamation);
}

void CPlaybackEngine::OnStop()
{
    const bool playing = m_playing.load(std::memory_order_acquire) && m_deviceOpen;
    const int64_t heard = PlayedSample();
    if (!playing || !ReplaceStopTail())
    {
        HaltOutput();
        // Without replacement the ramp follows a cut and a gap, after the
        // device let go of what it held: it is worth it only for glide.
        if (playing && m_params.glide)
            QueueStopRamp(heard);
    }
    SetStatus("nothing to do");
}

bool CPlaybackEngine::ReplaceStopTail()
{
    const int64_t replaceable = m_waveOut.FirstReplaceable(m_hWaveOut);
    if (replaceable < 0)
        return false;
    m_playing.store(false, std::memory_order_release);
    int64_t from = 0;
    int count = 0;
    {
        // The refill in progress, if any, has queued its half once this lock is ours.
        const auto lock = m_chain.Lock();
        from = std::max(replaceable - m_runBase, m_chain.OldestMade());
        count = m_chain.StopTail(from, m_deviceWritten - m_runBase);
        m_ears.StopTail(from, m_deviceWritten - m_runBase);
        m_ears.InterleaveRemade(count);
    }
    if (count <= 0 || m_runBase + from + count != m_deviceWritten
        || m_waveOut.ReplaceQueued(m_hWaveOut, m_runBase + from, m_ears.Remade(), static_cast<uint32_t>(count))
               != WaveResult::Ok)
        return false;
    {
        const auto lock = m_chain.Lock();
        m_queued = 0;
    }
    // The ramp and the silence after it play out; the next Play, or the
    // device check once they are over, resets them away.
    m_tailQueued = true;
    m_tailEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(count * 1000LL / 44100 + 200);
    m_cue.MarkDone();
    return true;
}

void CPlaybackEngine::QueueStopRamp(int64_t heard)
{
    // The chain still holds the samples around the one being heard; the
    // ramp takes them from there (silence where it runs past them).
    {
        const auto lock = m_chain.Lock();
        m_chain.StopTail(heard, heard + CRefillChain::kStopRampSamples);
        m_ears.StopTail(heard, heard + CRefillChain::kStopRampSamples);
        m_ears.InterleaveRemade(CRefillChain::kStopRampSamples);
    }
    m_rampHeader.data = m_ears.Remade();
    m_rampHeader.bufferLengthBytes = CRefillChain::kStopRampSamples * 2 * static_cast<uint32_t>(m_waveFormat.channels);
    if (!m_rampPrepared)
        m_rampPrepared = m_waveOut.PrepareHeader(m_hWaveOut, &m_rampHeader) == WaveResult::Ok;
    if (m_rampPrepared && m_waveOut.Write(m_hWaveOut, &m_rampHeader) == WaveResult::Ok)
    {
        // Once it has played, the device check stops the device, which
        // would otherwise play silence on.
        m_tailQueued = true;
        m_tailEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
        const auto lock = m_chain.Lock();
        m_deviceWritten += CRefillChain::kStopRampSamples;
    }
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
        const auto lock = m_chain.Lock();
        m_synth.SynthesizeTone(frequency);
        // The device starts afresh where the stream stands.
        m_runBase = m_deviceWritten - m_chain.Position();
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
    if (m_tailQueued && !IsPlaying() && std::chrono::steady_clock::now() >= m_tailEnd)
        HaltOutput();
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
    if (engine->m_cue.Owns(header))
    {
        engine->m_cue.MarkDone();
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
    const auto lock = m_chain.Lock();
    if (!m_playing.load(std::memory_order_acquire))
        return;
    // Completions come in queue order and the halves are queued in turn, so
    // they alternate without looking at the header.
    const int h = m_nextHalf;
    --m_queued;
    if (m_chain.StreamEnded())
    {
        // Only the last halves play out; the end is reached when they are back.
        if (m_queued <= 0)
            m_ended.store(true, std::memory_order_release);
        return;
    }
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
