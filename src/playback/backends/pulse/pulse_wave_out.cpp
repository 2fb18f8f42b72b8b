// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/backends/pulse/pulse_wave_out.h"

#include <algorithm>
#include <memory>

namespace
{

constexpr uint32_t kFramesPerSecond = 44100;
// The server asks for samples about once a second while it plays; five
// seconds without a request while samples wait is a server that stopped.
constexpr auto kStallLimit = std::chrono::seconds(5);
constexpr pa_usec_t kWatchPeriodUs = 1000 * 1000;
const char* const kDefaultOutput = "Default output";

struct ProplistDeleter
{
    void operator()(pa_proplist* p) const { pa_proplist_free(p); }
};
using Proplist = std::unique_ptr<pa_proplist, ProplistDeleter>;

// Nobody waits for these operations; their effect is ordered on the connection.
void Forget(pa_operation* operation)
{
    if (operation)
        pa_operation_unref(operation);
}

bool Dead(pa_context_state_t state)
{
    return state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED;
}

bool Dead(pa_stream_state_t state)
{
    return state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED;
}

struct TimerFlag
{
    pa_threaded_mainloop* loop;
    bool fired = false;
};

void OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* flag)
{
    auto* timer = static_cast<TimerFlag*>(flag);
    timer->fired = true;
    pa_threaded_mainloop_signal(timer->loop, 0);
}

void OnDrained(pa_stream*, int, void* flag)
{
    auto* drained = static_cast<TimerFlag*>(flag);
    drained->fired = true;
    pa_threaded_mainloop_signal(drained->loop, 0);
}

struct timeval After(pa_usec_t microseconds)
{
    struct timeval when;
    pa_gettimeofday(&when);
    pa_timeval_add(&when, microseconds);
    return when;
}

class CMainloopLock
{
public:
    explicit CMainloopLock(pa_threaded_mainloop* loop) : m_loop(loop) { pa_threaded_mainloop_lock(m_loop); }
    ~CMainloopLock() { pa_threaded_mainloop_unlock(m_loop); }
    CMainloopLock(const CMainloopLock&) = delete;
    CMainloopLock& operator=(const CMainloopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

} // namespace

CPulseWaveOut::CPulseWaveOut(int timeoutMs, int firstConnectMs) : m_timeoutMs(timeoutMs)
{
    m_loop = pa_threaded_mainloop_new();
    if (m_loop && pa_threaded_mainloop_start(m_loop) == 0)
    {
        CMainloopLock lock(m_loop);
        EnsureContextLocked(std::min(m_timeoutMs, firstConnectMs));
    }
    else
    {
        m_unreached = std::string();
    }
}

CPulseWaveOut::~CPulseWaveOut()
{
    Close(m_openHandle.load());
    if (!m_loop)
        return;
    {
        CMainloopLock lock(m_loop);
        DropStreamLocked();
        DropContextLocked();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

bool CPulseWaveOut::Connected()
{
    if (!m_loop)
        return false;
    CMainloopLock lock(m_loop);
    return m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY;
}

std::optional<std::string> CPulseWaveOut::UnreachedServer() const
{
    if (!m_loop)
        return m_unreached;
    CMainloopLock lock(m_loop);
    return m_unreached;
}

bool CPulseWaveOut::WaitLocked(const std::function<bool()>& done, int timeoutMs)
{
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    TimerFlag timer{m_loop};
    const struct timeval when = After(static_cast<pa_usec_t>(std::max(timeoutMs, 0)) * 1000);
    pa_time_event* event = api->time_new(api, &when, &OnTimer, &timer);
    bool ok;
    while (!(ok = done()) && !timer.fired)
        pa_threaded_mainloop_wait(m_loop);
    api->time_free(event);
    return ok;
}

bool CPulseWaveOut::EnsureContextLocked(int timeoutMs)
{
    if (!m_loop)
        return false;
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY)
        return true;
    DropStreamLocked();
    DropContextLocked();
    Proplist props(pa_proplist_new());
    pa_proplist_sets(props.get(), PA_PROP_APPLICATION_NAME, "Susurra");
    pa_proplist_sets(props.get(), PA_PROP_APPLICATION_ID, "org.susurra.Susurra");
    pa_proplist_sets(props.get(), PA_PROP_APPLICATION_ICON_NAME, "org.susurra.Susurra");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), "Susurra", props.get());
    m_unreached = std::string();
    if (!m_context)
        return false;
    pa_context_set_state_callback(m_context, &CPulseWaveOut::OnContextState, this);
    // Never start a server: without one, the ALSA backend is the choice.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
    {
        DropContextLocked();
        return false;
    }
    const bool settled = WaitLocked(
        [this] {
            const pa_context_state_t state = pa_context_get_state(m_context);
            return state == PA_CONTEXT_READY || Dead(state);
        },
        timeoutMs);
    if (!settled || pa_context_get_state(m_context) != PA_CONTEXT_READY)
    {
        // A server that took the connection but never answered is named; a
        // refused one may be any of the addresses tried.
        if (!settled)
            if (const char* server = pa_context_get_server(m_context))
                m_unreached = server;
        DropContextLocked();
        return false;
    }
    m_unreached.reset();
    pa_context_set_subscribe_callback(m_context, &CPulseWaveOut::OnContextEvent, this);
    Forget(pa_context_subscribe(
        m_context, static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
        nullptr, nullptr));
    return true;
}

void CPulseWaveOut::DropContextLocked()
{
    if (!m_context)
        return;
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

std::vector<WaveDeviceInfo> CPulseWaveOut::Devices()
{
    std::vector<WaveDeviceInfo> devices;
    if (!m_loop)
        return devices;
    CMainloopLock lock(m_loop);
    m_sinkNames.clear();
    if (!EnsureContextLocked(m_timeoutMs))
        return devices;

    struct Listing
    {
        CPulseWaveOut* self;
        std::vector<std::pair<std::string, std::string>> sinks; // name, description
        bool done = false;
    } listing{this, {}, false};
    auto onSink = [](pa_context*, const pa_sink_info* info, int eol, void* data) {
        auto* l = static_cast<Listing*>(data);
        if (eol != 0)
        {
            l->done = true;
            pa_threaded_mainloop_signal(l->self->m_loop, 0);
            return;
        }
        l->sinks.emplace_back(info->name ? info->name : "", info->description ? info->description : "");
    };
    pa_operation* operation = pa_context_get_sink_info_list(m_context, onSink, &listing);
    if (!operation)
        return devices;
    const bool listed = WaitLocked(
        [&] { return listing.done || pa_operation_get_state(operation) != PA_OPERATION_RUNNING; }, m_timeoutMs);
    if (!listed || !listing.done)
        pa_operation_cancel(operation);
    pa_operation_unref(operation);
    if (!listing.done)
        return devices;

    devices.push_back(WaveDeviceInfo{kDefaultOutput, true});
    m_sinkNames.emplace_back();
    for (const auto& [name, description] : listing.sinks)
    {
        // The server converts any format to the sink's.
        devices.push_back(WaveDeviceInfo{description.empty() ? name : description, true});
        m_sinkNames.push_back(name);
    }
    return devices;
}

bool CPulseWaveOut::ConnectStreamLocked()
{
    DropStreamLocked();
    const pa_sample_spec format{PA_SAMPLE_S16LE, 44100, static_cast<uint8_t>(m_channels)};
    // Two channels are front left and front right; one keeps the server's map for mono.
    pa_channel_map map;
    pa_channel_map_init_stereo(&map);
    const uint32_t bytesPerSecond = kFramesPerSecond * FrameBytes();
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = 2 * bytesPerSecond; // about two seconds held by the server
    attr.prebuf = bytesPerSecond / 10; // a flushed stream is heard again after 0.1 s of data
    attr.minreq = bytesPerSecond;      // asked for more once a second
    attr.fragsize = static_cast<uint32_t>(-1);
    // The named sink first; if it is gone, the server's default.
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        const char* sink = attempt == 0 && !m_sinkName.empty() ? m_sinkName.c_str() : nullptr;
        if (attempt == 1 && m_sinkName.empty())
            break;
        m_failed = false;
        Proplist props(pa_proplist_new());
        pa_proplist_sets(props.get(), PA_PROP_MEDIA_NAME, m_streamName.c_str());
        pa_proplist_sets(props.get(), PA_PROP_MEDIA_ROLE, "music");
        pa_proplist_sets(props.get(), PA_PROP_APPLICATION_NAME, "Susurra");
        pa_proplist_sets(props.get(), PA_PROP_APPLICATION_ICON_NAME, "org.susurra.Susurra");
        m_stream = pa_stream_new_with_proplist(m_context, m_streamName.c_str(), &format,
                                               m_channels == 2 ? &map : nullptr, props.get());
        if (!m_stream)
            return false;
        pa_stream_set_state_callback(m_stream, &CPulseWaveOut::OnStreamState, this);
        pa_stream_set_write_callback(m_stream, &CPulseWaveOut::OnStreamWrite, this);
        pa_cvolume volume;
        pa_cvolume_set(&volume, static_cast<unsigned>(m_channels),
                       pa_sw_volume_from_linear((m_volume & 0xFFFF) / 65535.0));
        // Corked until the first Write, so an idle open stream keeps no sink awake.
        m_corked = true;
        m_serverBytes = 0;
        m_writtenBytes = 0;
        if (pa_stream_connect_playback(m_stream, sink, &attr, PA_STREAM_START_CORKED, &volume, nullptr) == 0)
        {
            const bool settled = WaitLocked(
                [this] {
                    const pa_stream_state_t state = pa_stream_get_state(m_stream);
                    return state == PA_STREAM_READY || Dead(state);
                },
                m_timeoutMs);
            if (settled && pa_stream_get_state(m_stream) == PA_STREAM_READY)
            {
                pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
                const struct timeval when = After(kWatchPeriodUs);
                m_watch = api->time_new(api, &when, &CPulseWaveOut::OnWatchTimer, this);
                return true;
            }
        }
        DropStreamLocked();
        // A server that no longer answers gets no second try.
        if (pa_context_get_state(m_context) != PA_CONTEXT_READY)
            return false;
    }
    return false;
}

void CPulseWaveOut::DropStreamLocked()
{
    if (m_watch)
    {
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
        api->time_free(m_watch);
        m_watch = nullptr;
    }
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

WaveResult CPulseWaveOut::Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                               void* context)
{
    if (!m_loop)
        return WaveResult::DeviceError;
    CMainloopLock lock(m_loop);
    if (m_handle != 0)
        return WaveResult::DeviceError;
    if (deviceId >= m_sinkNames.size())
        return WaveResult::BadDevice;
    if (format.sampleRate != 44100 || (format.channels != 1 && format.channels != 2) || format.bitsPerSample != 16)
        return WaveResult::BadFormat;
    m_sinkName = m_sinkNames[deviceId];
    m_channels = format.channels;
    if (!EnsureContextLocked(m_timeoutMs) || !ConnectStreamLocked())
        return WaveResult::DeviceError;
    m_handle = ++m_lastHandle;
    m_queue.SetTarget(m_handle, callback, context);
    m_openHandle.store(m_handle);
    *handle = m_handle;
    return WaveResult::Ok;
}

WaveResult CPulseWaveOut::PrepareHeader(WaveHandle handle, WaveHeader* header)
{
    if (!m_loop)
        return WaveResult::NotOpen;
    CMainloopLock lock(m_loop);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    header->flags |= kWaveHeaderPrepared;
    return WaveResult::Ok;
}

WaveResult CPulseWaveOut::UnprepareHeader(WaveHandle, WaveHeader* header)
{
    header->flags &= ~kWaveHeaderPrepared;
    return WaveResult::Ok;
}

WaveResult CPulseWaveOut::Write(WaveHandle handle, WaveHeader* header)
{
    if (!m_loop)
        return WaveResult::NotOpen;
    CMainloopLock lock(m_loop);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    if (!(header->flags & kWaveHeaderPrepared))
        return WaveResult::Unprepared;
    // After the server or the stream died (or the server came back), connect again.
    if (m_failed || !m_stream)
    {
        if (!EnsureContextLocked(m_timeoutMs) || !ConnectStreamLocked())
            return WaveResult::DeviceError;
        ApplyVolumeLocked();
    }
    if (const WaveResult queued = m_queue.Push(header); queued != WaveResult::Ok)
        return queued;
    m_writtenBytes += header->bufferLengthBytes - header->bufferLengthBytes % FrameBytes();
    const size_t writable = pa_stream_writable_size(m_stream);
    if (writable != static_cast<size_t>(-1))
        PumpLocked(writable);
    if (m_corked)
    {
        m_corked = false;
        m_lastTaken = std::chrono::steady_clock::now();
        Forget(pa_stream_cork(m_stream, 0, nullptr, nullptr));
    }
    return WaveResult::Ok;
}

void CPulseWaveOut::PumpLocked(size_t bytes)
{
    const size_t frame = FrameBytes();
    while (bytes >= frame && m_stream && !m_failed)
    {
        uint32_t left = 0;
        const int16_t* samples = m_queue.Playing(left);
        if (left == 0)
            return;
        size_t n = std::min<size_t>(size_t{left} * 2, bytes);
        n -= n % frame;
        if (n == 0)
            return;
        // libpulse copies the samples: the buffer can go back at once.
        if (pa_stream_write(m_stream, samples, n, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        m_queue.Played(static_cast<uint32_t>(n / 2));
        m_serverBytes += static_cast<int64_t>(n);
        bytes -= n;
    }
}

void CPulseWaveOut::FailLocked()
{
    m_failed = true;
    m_queue.ReturnAll(WaveMessage::DeviceError);
}

WaveResult CPulseWaveOut::Reset(WaveHandle handle)
{
    if (!m_loop)
        return WaveResult::NotOpen;
    {
        CMainloopLock lock(m_loop);
        if (m_handle == 0 || handle != m_handle)
            return WaveResult::NotOpen;
        if (m_stream && !m_failed)
        {
            // Corked, the sink stops taking from the stream at once; the flush
            // drops what the server still holds (rewinding the sink's buffer).
            m_corked = true;
            Forget(pa_stream_cork(m_stream, 1, nullptr, nullptr));
            Forget(pa_stream_flush(m_stream, nullptr, nullptr));
        }
        m_serverBytes = 0;
        m_writtenBytes = 0;
        m_queue.ReturnAll(WaveMessage::Done);
    }
    m_queue.WaitDelivered();
    return WaveResult::Ok;
}

int64_t CPulseWaveOut::FirstReplaceable(WaveHandle handle)
{
    if (!m_loop)
        return -1;
    CMainloopLock lock(m_loop);
    if (m_handle == 0 || handle != m_handle || !m_stream || m_failed)
        return -1;
    // A fresh read index: the sink has taken everything before it.
    struct Update
    {
        pa_threaded_mainloop* loop;
        bool done = false;
    } update{m_loop};
    pa_operation* operation = pa_stream_update_timing_info(
        m_stream,
        [](pa_stream*, int, void* data) {
            auto* u = static_cast<Update*>(data);
            u->done = true;
            pa_threaded_mainloop_signal(u->loop, 0);
        },
        &update);
    if (!operation)
        return -1;
    const bool updated = WaitLocked([&] { return update.done; }, m_timeoutMs);
    if (!updated)
        pa_operation_cancel(operation);
    pa_operation_unref(operation);
    const pa_timing_info* timing = pa_stream_get_timing_info(m_stream);
    if (!updated || !timing || timing->read_index_corrupt || timing->write_index_corrupt || m_failed)
        return -1;
    // What the server holds unread lies just before m_serverBytes. A fifth of
    // a second after the read index is left alone: the caller makes the new
    // samples before they are written, and a busy machine may take that long.
    const int64_t unread = std::max<int64_t>(timing->write_index - timing->read_index, 0);
    const int64_t first =
        std::clamp<int64_t>(m_serverBytes - unread + kFramesPerSecond * FrameBytes() / 5, 0, m_writtenBytes);
    return first / FrameBytes();
}

WaveResult CPulseWaveOut::ReplaceQueued(WaveHandle handle, int64_t from, const int16_t* samples, uint32_t count)
{
    if (!m_loop)
        return WaveResult::NotOpen;
    {
        CMainloopLock lock(m_loop);
        if (m_handle == 0 || handle != m_handle)
            return WaveResult::NotOpen;
        if (!m_stream || m_failed)
            return WaveResult::DeviceError;
        const int64_t fromBytes = from * FrameBytes();
        const int64_t bytes = static_cast<int64_t>(count) * FrameBytes();
        if (fromBytes < 0 || fromBytes > m_writtenBytes || fromBytes + bytes < m_writtenBytes)
            return WaveResult::Unsupported;
        // The server gets the queued sound up to `from` first, then the new
        // samples over whatever it holds from there on.
        if (fromBytes > m_serverBytes)
            PumpLocked(static_cast<size_t>(fromBytes - m_serverBytes));
        if (fromBytes > m_serverBytes || m_failed
            || pa_stream_write(m_stream, samples, static_cast<size_t>(bytes), nullptr, fromBytes - m_serverBytes,
                               PA_SEEK_RELATIVE)
                   < 0)
            return WaveResult::DeviceError;
        m_serverBytes = fromBytes + bytes;
        m_writtenBytes = m_serverBytes;
        m_queue.ReturnAll(WaveMessage::Done);
        if (m_corked)
        {
            m_corked = false;
            Forget(pa_stream_cork(m_stream, 0, nullptr, nullptr));
        }
    }
    m_queue.WaitDelivered();
    return WaveResult::Ok;
}

WaveResult CPulseWaveOut::Close(WaveHandle handle)
{
    if (!m_loop)
        return WaveResult::NotOpen;
    {
        CMainloopLock lock(m_loop);
        if (m_handle == 0 || handle != m_handle)
            return WaveResult::NotOpen;
        DropStreamLocked();
        m_handle = 0;
        m_queue.ReturnAll(WaveMessage::Done);
    }
    m_queue.WaitDelivered();
    m_openHandle.store(0);
    m_queue.SetTarget(0, nullptr, nullptr);
    return WaveResult::Ok;
}

bool CPulseWaveOut::Drain(WaveHandle handle, int timeoutMs)
{
    if (!m_loop)
        return false;
    CMainloopLock lock(m_loop);
    if (m_handle == 0 || handle != m_handle)
        return false;
    if (!m_stream || m_failed || m_corked)
        return !m_failed;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const auto left = [&] {
        return static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
    };
    // What the server does not hold yet goes as it asks for it; then it
    // plays out what it holds.
    if (!WaitLocked([this] { return m_failed || m_queue.Idle(); }, timeoutMs) || m_failed)
        return false;
    TimerFlag drained{m_loop};
    pa_operation* operation = pa_stream_drain(m_stream, &OnDrained, &drained);
    if (!operation)
        return false;
    const bool done = WaitLocked([&] { return drained.fired || m_failed; }, left()) && drained.fired;
    if (!done)
        pa_operation_cancel(operation);
    pa_operation_unref(operation);
    return done;
}

WaveResult CPulseWaveOut::SetVolume(WaveHandle handle, uint32_t volume)
{
    if (!m_loop)
        return WaveResult::NotOpen;
    CMainloopLock lock(m_loop);
    if (m_handle == 0 || handle != m_handle)
        return WaveResult::NotOpen;
    m_volume = volume;
    ApplyVolumeLocked();
    return WaveResult::Ok;
}

void CPulseWaveOut::ApplyVolumeLocked()
{
    if (!m_stream || m_failed || pa_stream_get_state(m_stream) != PA_STREAM_READY)
        return;
    pa_cvolume volume;
    // Linear to the server's scale: 65535 is PA_VOLUME_NORM, which leaves samples unchanged.
    pa_cvolume_set(&volume, static_cast<unsigned>(m_channels), pa_sw_volume_from_linear((m_volume & 0xFFFF) / 65535.0));
    Forget(pa_context_set_sink_input_volume(m_context, pa_stream_get_index(m_stream), &volume, nullptr, nullptr));
}

void CPulseWaveOut::SetStreamName(const std::string& name)
{
    if (!m_loop)
        return;
    CMainloopLock lock(m_loop);
    m_streamName = name;
    if (m_stream && !m_failed && pa_stream_get_state(m_stream) == PA_STREAM_READY)
        Forget(pa_stream_set_name(m_stream, m_streamName.c_str(), nullptr, nullptr));
}

void CPulseWaveOut::OnContextState(pa_context* context, void* self)
{
    auto* me = static_cast<CPulseWaveOut*>(self);
    if (Dead(pa_context_get_state(context)))
    {
        // The server is gone: whatever it was to play comes back, and the
        // device list is no longer what it was.
        if (me->m_stream && !me->m_failed)
            me->FailLocked();
        me->m_deviceListVersion.fetch_add(1, std::memory_order_acq_rel);
    }
    pa_threaded_mainloop_signal(me->m_loop, 0);
}

void CPulseWaveOut::OnContextEvent(pa_context*, pa_subscription_event_type_t type, uint32_t, void* self)
{
    auto* me = static_cast<CPulseWaveOut*>(self);
    const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    // New or removed sinks, or a new default (a server change).
    if ((facility == PA_SUBSCRIPTION_EVENT_SINK && kind != PA_SUBSCRIPTION_EVENT_CHANGE)
        || facility == PA_SUBSCRIPTION_EVENT_SERVER)
        me->m_deviceListVersion.fetch_add(1, std::memory_order_acq_rel);
}

void CPulseWaveOut::OnStreamState(pa_stream* stream, void* self)
{
    auto* me = static_cast<CPulseWaveOut*>(self);
    if (stream == me->m_stream && Dead(pa_stream_get_state(stream)) && !me->m_failed)
        me->FailLocked();
    pa_threaded_mainloop_signal(me->m_loop, 0);
}

void CPulseWaveOut::OnStreamWrite(pa_stream* stream, size_t bytes, void* self)
{
    auto* me = static_cast<CPulseWaveOut*>(self);
    if (stream != me->m_stream)
        return;
    if (bytes > 0)
        me->m_lastTaken = std::chrono::steady_clock::now();
    me->PumpLocked(bytes);
    pa_threaded_mainloop_signal(me->m_loop, 0); // a Drain waits for the queue to empty
}

void CPulseWaveOut::OnWatchTimer(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self)
{
    auto* me = static_cast<CPulseWaveOut*>(self);
    me->WatchLocked();
    const struct timeval when = After(kWatchPeriodUs);
    api->time_restart(event, &when);
}

void CPulseWaveOut::WatchLocked()
{
    // Samples wait, the stream plays, and the server has not asked for any:
    // it is stopped or hung. The next Write connects anew.
    if (!m_stream || m_failed || m_corked || m_queue.Idle())
        return;
    if (std::chrono::steady_clock::now() - m_lastTaken > kStallLimit)
        FailLocked();
}
