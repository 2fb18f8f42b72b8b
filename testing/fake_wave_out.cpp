// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/fake_wave_out.h"

namespace
{
constexpr std::size_t kMaxQueued = 64;
constexpr std::size_t kMaxCalls = 1 << 16;
} // namespace

CFakeWaveOut::CFakeWaveOut()
{
    m_calls.reserve(kMaxCalls);
    m_queue.reserve(kMaxQueued);
    m_deliveries.reserve(kMaxQueued);
    m_thread = std::thread([this] { NotificationThread(); });
}

CFakeWaveOut::~CFakeWaveOut()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

WaveResult CFakeWaveOut::Record(const char* name, WaveHandle handle, uint32_t value, const WaveHeader* header,
                                WaveResult result)
{
    if (m_calls.size() < kMaxCalls)
        m_calls.push_back(Call{name, handle, value, header, OnNotificationThread(), result});
    return result;
}

void CFakeWaveOut::PostLocked(WaveHeader* header, WaveMessage message)
{
    m_deliveries.push_back(Delivery{header, message});
    ++m_posted;
    m_wake.notify_one();
}

void CFakeWaveOut::ReturnAllLocked(WaveMessage message)
{
    for (WaveHeader* header : m_queue)
        PostLocked(header, message);
    m_queue.clear();
}

void CFakeWaveOut::WaitDeliveredLocked(std::unique_lock<std::mutex>& lock)
{
    if (OnNotificationThread())
        return; // against the contract; waiting here would never end
    const uint64_t target = m_posted;
    m_delivered.wait(lock, [&] { return m_done >= target; });
}

void CFakeWaveOut::NotificationThread()
{
    std::unique_lock lock(m_mutex);
    for (;;)
    {
        m_wake.wait(lock, [&] { return m_quit || !m_deliveries.empty(); });
        if (m_deliveries.empty())
            return;
        const Delivery d = m_deliveries.front();
        m_deliveries.erase(m_deliveries.begin());
        d.header->flags = (d.header->flags & ~kWaveHeaderInQueue) | kWaveHeaderDone;
        const WaveCallback callback = m_callback;
        void* const context = m_context;
        const WaveHandle handle = m_handle;
        lock.unlock();
        if (callback)
            callback(handle, d.message, context, d.header);
        lock.lock();
        ++m_done;
        m_delivered.notify_all();
    }
}

bool CFakeWaveOut::CompleteNextAsync()
{
    std::lock_guard lock(m_mutex);
    if (m_queue.empty())
        return false;
    WaveHeader* header = m_queue.front();
    m_queue.erase(m_queue.begin());
    m_played += header->bufferLengthBytes / (2 * m_channels);
    PostLocked(header, WaveMessage::Done);
    return true;
}

bool CFakeWaveOut::CompleteNext()
{
    if (!CompleteNextAsync())
        return false;
    WaitIdle();
    return true;
}

void CFakeWaveOut::WaitIdle()
{
    std::unique_lock lock(m_mutex);
    WaitDeliveredLocked(lock);
}

void CFakeWaveOut::BreakDevice()
{
    std::unique_lock lock(m_mutex);
    m_broken = true;
    ReturnAllLocked(WaveMessage::DeviceError);
    WaitDeliveredLocked(lock);
}

std::vector<WaveDeviceInfo> CFakeWaveOut::Devices()
{
    std::lock_guard lock(m_mutex);
    Record("Devices", 0, static_cast<uint32_t>(m_devices.size()), nullptr, WaveResult::Ok);
    return m_devices;
}

WaveResult CFakeWaveOut::Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                              void* context)
{
    std::lock_guard lock(m_mutex);
    WaveResult result = WaveResult::Ok;
    if (deviceId >= m_devices.size())
        result = WaveResult::BadDevice;
    else if (format.sampleRate != 44100 || (format.channels != 1 && format.channels != 2) || format.bitsPerSample != 16
             || !m_devices[deviceId].takesMono16At44100)
        result = WaveResult::BadFormat;
    else if (m_failingDevices.count(deviceId) || m_failOpens > 0 || m_open) // one stream at a time, as for real
        result = WaveResult::DeviceError;
    if (m_failOpens > 0)
        --m_failOpens;
    if (result == WaveResult::Ok)
    {
        m_open = true;
        m_broken = false;
        m_handle = m_nextHandle++;
        m_deviceId = deviceId;
        m_channels = format.channels;
        m_callback = callback;
        m_context = context;
        *handle = m_handle;
    }
    return Record("Open", result == WaveResult::Ok ? m_handle : 0, deviceId, nullptr, result);
}

WaveResult CFakeWaveOut::PrepareHeader(WaveHandle handle, WaveHeader* header)
{
    std::lock_guard lock(m_mutex);
    if (Stale(handle))
        return Record("PrepareHeader", handle, header->bufferLengthBytes, header, WaveResult::NotOpen);
    header->flags |= kWaveHeaderPrepared;
    return Record("PrepareHeader", handle, header->bufferLengthBytes, header, WaveResult::Ok);
}

WaveResult CFakeWaveOut::UnprepareHeader(WaveHandle handle, WaveHeader* header)
{
    std::lock_guard lock(m_mutex);
    header->flags &= ~kWaveHeaderPrepared;
    return Record("UnprepareHeader", handle, header->bufferLengthBytes, header, WaveResult::Ok);
}

WaveResult CFakeWaveOut::Write(WaveHandle handle, WaveHeader* header)
{
    std::lock_guard lock(m_mutex);
    WaveResult result = WaveResult::Ok;
    if (Stale(handle))
        result = WaveResult::NotOpen;
    else if (!(header->flags & kWaveHeaderPrepared))
        result = WaveResult::Unprepared;
    else if (m_failWrites || m_broken)
        result = WaveResult::DeviceError;
    else if (m_queue.size() >= kMaxQueued)
        result = WaveResult::QueueFull;
    if (result == WaveResult::Ok)
    {
        header->flags = (header->flags & ~kWaveHeaderDone) | kWaveHeaderInQueue;
        m_queue.push_back(header);
        if (m_replace || m_keepTape)
            m_tape.insert(m_tape.end(), header->data, header->data + header->bufferLengthBytes / 2);
    }
    return Record("Write", handle, header->bufferLengthBytes, header, result);
}

WaveResult CFakeWaveOut::HandBackAll(std::unique_lock<std::mutex>& lock, const char* name, WaveHandle handle)
{
    if (Stale(handle))
        return Record(name, handle, 0, nullptr, WaveResult::NotOpen);
    Record(name, handle, static_cast<uint32_t>(m_queue.size()), nullptr, WaveResult::Ok);
    m_tape.clear();
    m_played = 0;
    ReturnAllLocked(WaveMessage::Done);
    WaitDeliveredLocked(lock);
    return WaveResult::Ok;
}

WaveResult CFakeWaveOut::Reset(WaveHandle handle)
{
    std::unique_lock lock(m_mutex);
    return HandBackAll(lock, "Reset", handle);
}

WaveResult CFakeWaveOut::Close(WaveHandle handle)
{
    std::unique_lock lock(m_mutex);
    const WaveResult result = HandBackAll(lock, "Close", handle);
    if (result == WaveResult::Ok)
    {
        m_open = false;
        m_callback = nullptr;
        m_context = nullptr;
    }
    return result;
}

WaveResult CFakeWaveOut::SetVolume(WaveHandle handle, uint32_t volume)
{
    std::lock_guard lock(m_mutex);
    if (Stale(handle))
        return Record("SetVolume", handle, volume, nullptr, WaveResult::NotOpen);
    m_volume = volume;
    return Record("SetVolume", handle, volume, nullptr, WaveResult::Ok);
}

int64_t CFakeWaveOut::FirstReplaceable(WaveHandle handle)
{
    std::lock_guard lock(m_mutex);
    if (!m_replace || Stale(handle))
        return -1;
    Record("FirstReplaceable", handle, 0, nullptr, WaveResult::Ok);
    return std::min<int64_t>(m_played + m_lead, static_cast<int64_t>(m_tape.size()) / m_channels);
}

WaveResult CFakeWaveOut::ReplaceQueued(WaveHandle handle, int64_t from, const int16_t* samples, uint32_t count)
{
    std::unique_lock lock(m_mutex);
    WaveResult result = WaveResult::Ok;
    if (!m_replace)
        result = WaveResult::Unsupported;
    else if (Stale(handle))
        result = WaveResult::NotOpen;
    else if (const int64_t frames = static_cast<int64_t>(m_tape.size()) / m_channels;
             from < std::min<int64_t>(m_played + m_lead, frames) || from + count < frames)
        result = WaveResult::BadFormat; // the caller broke the contract: the test sees it
    Record("ReplaceQueued", handle, count, nullptr, result);
    if (result != WaveResult::Ok)
        return result;
    m_tape.resize(static_cast<size_t>(from * m_channels));
    m_tape.insert(m_tape.end(), samples, samples + static_cast<size_t>(count) * m_channels);
    // The replaced sound counts as played once it is handed back.
    m_played = static_cast<int64_t>(m_tape.size()) / m_channels;
    ReturnAllLocked(WaveMessage::Done);
    WaitDeliveredLocked(lock);
    return WaveResult::Ok;
}
