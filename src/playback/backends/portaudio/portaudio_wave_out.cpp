// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/backends/portaudio/portaudio_wave_out.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>

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
struct CPortAudioWaveOut::StreamLink
{
    CPortAudioWaveOut* owner;
    std::atomic<bool> abandoned{false};
    std::atomic<int> busy{0}; // callbacks running now
};

CPortAudioWaveOut::CPortAudioWaveOut()
{
    ::sem_init(&m_wake, 0, 0);
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
    m_thread = std::thread([this] { NotificationThread(); });
}

CPortAudioWaveOut::~CPortAudioWaveOut()
{
    Close(m_openHandle.load());
    {
        std::lock_guard lock(m_queueMutex);
        m_quit = true;
    }
    ::sem_post(&m_wake);
    m_thread.join();
    ::sem_destroy(&m_wake);
    if (m_initialized)
    {
        CQuietStderr quiet;
        Pa_Terminate();
    }
    m_abandonedLinks.clear();
}

std::vector<WaveDeviceInfo> CPortAudioWaveOut::Devices()
{
    return m_devices;
}

WaveResult CPortAudioWaveOut::Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format,
                                   WaveCallback callback, void* context)
{
    std::lock_guard control(m_controlMutex);
    if (m_handle != 0)
        return WaveResult::DeviceError;
    if (deviceId >= m_devices.size())
        return WaveResult::BadDevice;
    if (format.sampleRate != 44100 || format.channels != 1 || format.bitsPerSample != 16)
        return WaveResult::BadFormat;
    const int index = m_paDevices[deviceId];
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (!info)
        return WaveResult::BadDevice;
    m_params = PaStreamParameters{index, 1, paInt16, info->defaultHighOutputLatency, nullptr};
    if (!OpenStreamLocked())
        return WaveResult::DeviceError;
    m_handle = ++m_lastHandle;
    m_callback.store(callback);
    m_context.store(context);
    m_openHandle.store(m_handle);
    *handle = m_handle;
    return WaveResult::Ok;
}

bool CPortAudioWaveOut::OpenStreamLocked()
{
    auto link = std::make_shared<StreamLink>();
    link->owner = this;
    PaError err;
    {
        CQuietStderr quiet;
        err = Pa_OpenStream(&m_stream, nullptr, &m_params, kSampleRate, paFramesPerBufferUnspecified,
                            paClipOff | paDitherOff | paPrimeOutputBuffersUsingStreamCallback,
                            &CPortAudioWaveOut::StreamCallback, link.get());
    }
    if (err != paNoError)
    {
        m_stream = nullptr;
        return false;
    }
    m_link = std::move(link);
    Pa_SetStreamFinishedCallback(m_stream, &CPortAudioWaveOut::StreamFinished);
    m_running = false;
    m_failed.store(false);
    return true;
}

PaError CPortAudioWaveOut::StartStreamLocked()
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

void CPortAudioWaveOut::SetStartStreamForTest(PaError (*start)(PaStream*), int timeoutMs)
{
    std::lock_guard control(m_controlMutex);
    m_startStream = start;
    m_startTimeoutMs = timeoutMs;
}

WaveResult CPortAudioWaveOut::PrepareHeader(WaveHandle handle, WaveHeader* header)
{
    std::lock_guard control(m_controlMutex);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    header->flags |= kWaveHeaderPrepared;
    return WaveResult::Ok;
}

WaveResult CPortAudioWaveOut::UnprepareHeader(WaveHandle, WaveHeader* header)
{
    std::lock_guard control(m_controlMutex);
    header->flags &= ~kWaveHeaderPrepared;
    return WaveResult::Ok;
}

WaveResult CPortAudioWaveOut::Write(WaveHandle handle, WaveHeader* header)
{
    std::lock_guard control(m_controlMutex);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    if (!(header->flags & kWaveHeaderPrepared))
        return WaveResult::Unprepared;
    {
        std::lock_guard lock(m_queueMutex);
        // Every header in flight (queued, playing or being handed back) counts,
        // so the ring of returned headers can never overflow.
        const int inFlight = m_pendingCount + (m_current ? 1 : 0) + m_returnedCount;
        if (inFlight >= kRingSize)
            return WaveResult::QueueFull;
        header->flags = (header->flags & ~kWaveHeaderDone) | kWaveHeaderInQueue;
        m_pending[(m_pendingHead + m_pendingCount) % kRingSize] = header;
        ++m_pendingCount;
    }
    if (m_failed.load())
        StopStreamLocked();
    if (!m_running)
    {
        if ((!m_stream && !OpenStreamLocked()) || StartStreamLocked() != paNoError)
        {
            std::lock_guard lock(m_queueMutex);
            --m_pendingCount; // the header just added; nothing plays, so it is still last
            header->flags &= ~kWaveHeaderInQueue;
            return WaveResult::DeviceError;
        }
        m_running = true;
    }
    return WaveResult::Ok;
}

void CPortAudioWaveOut::StopStreamLocked()
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

WaveResult CPortAudioWaveOut::Reset(WaveHandle handle)
{
    {
        std::lock_guard control(m_controlMutex);
        if (m_handle == 0 || handle != m_handle)
            return WaveResult::NotOpen;
        StopStreamLocked();
        std::lock_guard lock(m_queueMutex);
        ReturnAllLocked(WaveMessage::Done);
    }
    WaitDelivered();
    return WaveResult::Ok;
}

WaveResult CPortAudioWaveOut::Close(WaveHandle handle)
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
        std::lock_guard lock(m_queueMutex);
        ReturnAllLocked(WaveMessage::Done);
    }
    WaitDelivered();
    m_openHandle.store(0);
    m_callback.store(nullptr);
    m_context.store(nullptr);
    return WaveResult::Ok;
}

WaveResult CPortAudioWaveOut::SetVolume(WaveHandle handle, uint32_t volume)
{
    std::lock_guard control(m_controlMutex);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    m_volume.store(volume, std::memory_order_relaxed);
    return WaveResult::Ok;
}

void CPortAudioWaveOut::ReturnAllLocked(WaveMessage message)
{
    auto hand = [&](WaveHeader* header) {
        m_returned[(m_returnedHead + m_returnedCount) % (2 * kRingSize + 1)] = Returned{header, message};
        ++m_returnedCount;
        ++m_posted;
        ::sem_post(&m_wake);
    };
    if (m_current)
    {
        hand(m_current);
        m_current = nullptr;
        m_currentOffset = 0;
    }
    while (m_pendingCount > 0)
    {
        hand(m_pending[m_pendingHead]);
        m_pendingHead = (m_pendingHead + 1) % kRingSize;
        --m_pendingCount;
    }
}

void CPortAudioWaveOut::WaitDelivered()
{
    if (std::this_thread::get_id() == m_thread.get_id())
        return; // against the contract; waiting here would never end
    std::unique_lock lock(m_queueMutex);
    const uint64_t target = m_posted;
    m_deliveredChanged.wait(lock, [&] { return m_delivered >= target; });
}

int CPortAudioWaveOut::StreamCallback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                                      PaStreamCallbackFlags, void* data)
{
    auto* link = static_cast<StreamLink*>(data);
    link->busy.fetch_add(1);
    int result = paContinue;
    if (link->abandoned.load())
    {
        std::memset(output, 0, frames * sizeof(int16_t));
        result = paAbort;
    }
    else
    {
        link->owner->Play(static_cast<int16_t*>(output), frames);
    }
    link->busy.fetch_sub(1);
    return result;
}

void CPortAudioWaveOut::Play(int16_t* out, unsigned long frames)
{
    const int32_t volume = static_cast<int32_t>(m_volume.load(std::memory_order_relaxed) & 0xFFFF);
    unsigned long done = 0;
    while (done < frames)
    {
        WaveHeader* current;
        uint32_t offset;
        {
            std::lock_guard lock(m_queueMutex);
            if (!m_current && m_pendingCount > 0)
            {
                m_current = m_pending[m_pendingHead];
                m_pendingHead = (m_pendingHead + 1) % kRingSize;
                --m_pendingCount;
                m_currentOffset = 0;
            }
            current = m_current;
            offset = m_currentOffset;
        }
        if (!current)
        {
            std::memset(out + done, 0, (frames - done) * sizeof(int16_t));
            return;
        }
        const uint32_t length = current->bufferLengthBytes / 2;
        const uint32_t start = offset / 2;
        const unsigned long n = std::min<unsigned long>(length - start, frames - done);
        const int16_t* src = current->data + start;
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
        std::lock_guard lock(m_queueMutex);
        m_currentOffset = static_cast<uint32_t>((start + n) * 2);
        if (start + n >= length)
        {
            m_returned[(m_returnedHead + m_returnedCount) % (2 * kRingSize + 1)] =
                Returned{m_current, WaveMessage::Done};
            ++m_returnedCount;
            ++m_posted;
            m_current = nullptr;
            ::sem_post(&m_wake);
        }
    }
}

void CPortAudioWaveOut::StreamFinished(void* data)
{
    auto* link = static_cast<StreamLink*>(data);
    link->busy.fetch_add(1);
    if (!link->abandoned.load())
        link->owner->OnStreamFinished();
    link->busy.fetch_sub(1);
}

void CPortAudioWaveOut::OnStreamFinished()
{
    CPortAudioWaveOut* me = this;
    if (me->m_stopping.load())
        return;
    // The stream ended without being asked to: the device or the sound server
    // is gone. Hand everything back so that nobody waits for it.
    me->m_failed.store(true);
    std::lock_guard lock(me->m_queueMutex);
    me->ReturnAllLocked(WaveMessage::DeviceError);
}

void CPortAudioWaveOut::NotificationThread()
{
    for (;;)
    {
        while (::sem_wait(&m_wake) != 0 && errno == EINTR)
        {}
        Returned r;
        {
            std::lock_guard lock(m_queueMutex);
            if (m_returnedCount == 0)
            {
                if (m_quit)
                    return;
                continue;
            }
            r = m_returned[m_returnedHead];
            m_returnedHead = (m_returnedHead + 1) % (2 * kRingSize + 1);
            --m_returnedCount;
        }
        r.header->flags = (r.header->flags & ~kWaveHeaderInQueue) | kWaveHeaderDone;
        if (const WaveCallback callback = m_callback.load())
            callback(m_openHandle.load(), r.message, m_context.load(), r.header);
        {
            std::lock_guard lock(m_queueMutex);
            ++m_delivered;
        }
        m_deliveredChanged.notify_all();
    }
}
