// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/backends/alsa/alsa_wave_out.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <chrono>
#include <thread>

namespace
{

// PortAudio probes every host API and device when it starts; ALSA and JACK
// report each probe that fails on stderr. None of that concerns the user.
class CQuietStderr
{
public:
    CQuietStderr()
    {
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0)
            return;
        m_saved = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
        if (m_saved >= 0)
            ::dup2(null, 2);
        ::close(null);
    }
    ~CQuietStderr()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
    }
    CQuietStderr(const CQuietStderr&) = delete;
    CQuietStderr& operator=(const CQuietStderr&) = delete;

private:
    int m_saved = -1;
};

void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

constexpr double kSampleRate = 44100.0;

} // namespace

// Each stream calls back through its own link, so that a stream given up
// while its start hung can never reach this object again.
struct CAlsaWaveOut::StreamLink
{
    CAlsaWaveOut* owner;
    int channels = 1; // samples in a frame
    std::atomic<bool> abandoned{false};
    std::atomic<int> busy{0}; // callbacks running now
};

CAlsaWaveOut::CAlsaWaveOut()
{
    // A missing JACK server must not be started on our behalf.
    ::setenv("JACK_NO_START_SERVER", "1", 0);
    snd_lib_error_set_handler(&SilentAlsaError);
    {
        CQuietStderr quiet;
        m_initialized = Pa_Initialize() == paNoError;
        const int count = m_initialized ? Pa_GetDeviceCount() : 0;
        for (int i = 0; i < count; ++i)
        {
            const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
            if (!info || info->maxOutputChannels < 1)
                continue;
            PaStreamParameters params{i, 1, paInt16, info->defaultHighOutputLatency, nullptr};
            const bool takes = Pa_IsFormatSupported(nullptr, &params, kSampleRate) == paFormatIsSupported;
            m_devices.push_back(WaveDeviceInfo{info->name ? info->name : "", takes});
            m_paDevices.push_back(i);
        }
    }
}

CAlsaWaveOut::~CAlsaWaveOut()
{
    Close(m_openHandle.load());
    if (m_initialized)
    {
        CQuietStderr quiet;
        Pa_Terminate();
    }
    m_abandonedLinks.clear();
}

std::vector<WaveDeviceInfo> CAlsaWaveOut::Devices()
{
    return m_devices;
}

WaveResult CAlsaWaveOut::Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                              void* context)
{
    std::lock_guard control(m_controlMutex);
    if (m_handle != 0)
        return WaveResult::DeviceError;
    if (deviceId >= m_devices.size())
        return WaveResult::BadDevice;
    if (format.sampleRate != 44100 || (format.channels != 1 && format.channels != 2) || format.bitsPerSample != 16)
        return WaveResult::BadFormat;
    const int index = m_paDevices[deviceId];
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (!info)
        return WaveResult::BadDevice;
    if (info->maxOutputChannels < format.channels)
        return WaveResult::BadFormat;
    m_params = PaStreamParameters{index, format.channels, paInt16, info->defaultHighOutputLatency, nullptr};
    if (!OpenStreamLocked())
        return WaveResult::DeviceError;
    m_handle = ++m_lastHandle;
    m_queue.SetTarget(m_handle, callback, context);
    m_openHandle.store(m_handle);
    *handle = m_handle;
    return WaveResult::Ok;
}

bool CAlsaWaveOut::OpenStreamLocked()
{
    auto link = std::make_shared<StreamLink>();
    link->owner = this;
    link->channels = m_params.channelCount;
    PaError err;
    {
        CQuietStderr quiet;
        err = Pa_OpenStream(&m_stream, nullptr, &m_params, kSampleRate, paFramesPerBufferUnspecified,
                            paClipOff | paDitherOff | paPrimeOutputBuffersUsingStreamCallback,
                            &CAlsaWaveOut::StreamCallback, link.get());
    }
    if (err != paNoError)
    {
        m_stream = nullptr;
        return false;
    }
    m_link = std::move(link);
    Pa_SetStreamFinishedCallback(m_stream, &CAlsaWaveOut::StreamFinished);
    m_running = false;
    m_failed.store(false);
    return true;
}

PaError CAlsaWaveOut::StartStreamLocked()
{
    struct Call
    {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        PaError result = paNoError;
    };
    auto call = std::make_shared<Call>();
    // ALSA's host API reports failed internal checks while it starts; kept
    // from the user for as long as we wait, never longer.
    CQuietStderr quiet;
    // The helper holds only what it shares with us, so it may outlive this object.
    std::thread([call, start = m_startStream, stream = m_stream] {
        const PaError result = start(stream);
        {
            std::lock_guard lock(call->mutex);
            call->done = true;
            call->result = result;
        }
        call->changed.notify_all();
    }).detach();
    {
        std::unique_lock lock(call->mutex);
        if (call->changed.wait_for(lock, std::chrono::milliseconds(m_startTimeoutMs), [&] { return call->done; }))
        {
            if (call->result == paNoError)
                return paNoError;
            lock.unlock();
            // A stream that failed to start may hang on the next try: open a new one then.
            CQuietStderr quiet;
            Pa_CloseStream(m_stream);
            m_stream = nullptr;
            m_link.reset();
            return call->result;
        }
    }
    // Given up: should the start ever return, the stream stops itself at its
    // first callback and never touches this object.
    m_link->abandoned.store(true);
    while (m_link->busy.load() != 0)
        std::this_thread::yield();
    m_abandonedLinks.push_back(std::move(m_link));
    m_stream = nullptr;
    return paTimedOut;
}

void CAlsaWaveOut::SetStartStreamForTest(PaError (*start)(PaStream*), int timeoutMs)
{
    std::lock_guard control(m_controlMutex);
    m_startStream = start;
    m_startTimeoutMs = timeoutMs;
}

WaveResult CAlsaWaveOut::PrepareHeader(WaveHandle handle, WaveHeader* header)
{
    std::lock_guard control(m_controlMutex);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    header->flags |= kWaveHeaderPrepared;
    return WaveResult::Ok;
}

WaveResult CAlsaWaveOut::UnprepareHeader(WaveHandle, WaveHeader* header)
{
    std::lock_guard control(m_controlMutex);
    header->flags &= ~kWaveHeaderPrepared;
    return WaveResult::Ok;
}

WaveResult CAlsaWaveOut::Write(WaveHandle handle, WaveHeader* header)
{
    std::lock_guard control(m_controlMutex);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    if (!(header->flags & kWaveHeaderPrepared))
        return WaveResult::Unprepared;
    if (const WaveResult queued = m_queue.Push(header); queued != WaveResult::Ok)
        return queued;
    if (m_failed.load())
        StopStreamLocked();
    if (!m_running)
    {
        if ((!m_stream && !OpenStreamLocked()) || StartStreamLocked() != paNoError)
        {
            m_queue.DropLast(); // the header just added; nothing plays, so it is still last
            return WaveResult::DeviceError;
        }
        m_running = true;
    }
    return WaveResult::Ok;
}

void CAlsaWaveOut::StopStreamLocked()
{
    if (m_stream && (m_running || m_failed.load()))
    {
        m_stopping.store(true);
        // Abort drops what the device still holds, so output stops at once.
        CQuietStderr quiet;
        Pa_AbortStream(m_stream);
        m_stopping.store(false);
    }
    m_running = false;
    m_failed.store(false);
}

WaveResult CAlsaWaveOut::Reset(WaveHandle handle)
{
    {
        std::lock_guard control(m_controlMutex);
        if (m_handle == 0 || handle != m_handle)
            return WaveResult::NotOpen;
        StopStreamLocked();
        m_queue.ReturnAll(WaveMessage::Done);
    }
    m_queue.WaitDelivered();
    return WaveResult::Ok;
}

WaveResult CAlsaWaveOut::Close(WaveHandle handle)
{
    {
        std::lock_guard control(m_controlMutex);
        if (m_handle == 0 || handle != m_handle)
            return WaveResult::NotOpen;
        StopStreamLocked();
        if (m_stream)
        {
            CQuietStderr quiet;
            Pa_CloseStream(m_stream);
        }
        m_stream = nullptr;
        m_link.reset();
        m_handle = 0;
        m_queue.ReturnAll(WaveMessage::Done);
    }
    m_queue.WaitDelivered();
    m_openHandle.store(0);
    m_queue.SetTarget(0, nullptr, nullptr);
    return WaveResult::Ok;
}

WaveResult CAlsaWaveOut::SetVolume(WaveHandle handle, uint32_t volume)
{
    std::lock_guard control(m_controlMutex);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    m_volume.store(volume, std::memory_order_relaxed);
    return WaveResult::Ok;
}

bool CAlsaWaveOut::Drain(WaveHandle handle, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    double latency = 0;
    {
        std::lock_guard control(m_controlMutex);
        if (m_handle == 0 || handle != m_handle)
            return false;
        if (m_stream && m_running)
            if (const PaStreamInfo* info = Pa_GetStreamInfo(m_stream))
                latency = info->outputLatency;
    }
    // The callback has copied every buffer once the queue is idle; the
    // device then still holds up to its latency (and one period) of them.
    while (!m_queue.Idle() && !m_failed.load())
    {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const auto heard = std::chrono::steady_clock::now() + std::chrono::microseconds(static_cast<int64_t>(latency * 1e6))
                       + std::chrono::milliseconds(100);
    std::this_thread::sleep_until(std::min(heard, end));
    return heard <= end && !m_failed.load();
}

int CAlsaWaveOut::StreamCallback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                                 PaStreamCallbackFlags, void* data)
{
    auto* link = static_cast<StreamLink*>(data);
    link->busy.fetch_add(1);
    int result = paContinue;
    if (link->abandoned.load())
    {
        std::memset(output, 0, frames * static_cast<unsigned long>(link->channels) * sizeof(int16_t));
        result = paAbort;
    }
    else
    {
        // The queue counts samples: a frame of two channels is two of them.
        link->owner->Play(static_cast<int16_t*>(output), frames * static_cast<unsigned long>(link->channels));
    }
    link->busy.fetch_sub(1);
    return result;
}

void CAlsaWaveOut::Play(int16_t* out, unsigned long samples)
{
    const int32_t volume = static_cast<int32_t>(m_volume.load(std::memory_order_relaxed) & 0xFFFF);
    unsigned long done = 0;
    while (done < samples)
    {
        uint32_t left = 0;
        const int16_t* src = m_queue.Playing(left);
        if (left == 0)
        {
            std::memset(out + done, 0, (samples - done) * sizeof(int16_t));
            return;
        }
        const unsigned long n = std::min<unsigned long>(left, samples - done);
        if (volume == 0xFFFF)
        {
            std::memcpy(out + done, src, n * sizeof(int16_t));
        }
        else
        {
            for (unsigned long i = 0; i < n; ++i)
                out[done + i] = static_cast<int16_t>(src[i] * volume / 0xFFFF);
        }
        done += n;
        m_queue.Played(static_cast<uint32_t>(n));
    }
}

void CAlsaWaveOut::StreamFinished(void* data)
{
    auto* link = static_cast<StreamLink*>(data);
    link->busy.fetch_add(1);
    if (!link->abandoned.load())
        link->owner->OnStreamFinished();
    link->busy.fetch_sub(1);
}

void CAlsaWaveOut::OnStreamFinished()
{
    CAlsaWaveOut* me = this;
    if (me->m_stopping.load())
        return;
    // The stream ended without being asked to: the device or the sound server
    // is gone. Hand everything back so that nobody waits for it.
    me->m_failed.store(true);
    me->m_queue.ReturnAll(WaveMessage::DeviceError);
}
