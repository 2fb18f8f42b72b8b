// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/backends/common/wave_queue.h"

CWaveQueue::CWaveQueue(IWaveWake& wake) : m_wake(wake)
{
    m_thread = std::thread([this] { NotificationThread(); });
}

CWaveQueue::~CWaveQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.Post();
    m_thread.join();
}

void CWaveQueue::SetTarget(WaveHandle handle, WaveCallback callback, void* context)
{
    m_handle.store(handle);
    m_context.store(context);
    m_callback.store(callback);
}

WaveResult CWaveQueue::Push(WaveHeader* header)
{
    std::lock_guard lock(m_mutex);
    // Every buffer in flight counts, so the ring of handed-back buffers can
    // never overflow.
    if (m_pendingCount + (m_current ? 1 : 0) + m_returnedCount >= kCapacity)
        return WaveResult::QueueFull;
    header->flags = (header->flags & ~kWaveHeaderDone) | kWaveHeaderInQueue;
    m_pending[(m_pendingHead + m_pendingCount) % kCapacity] = header;
    ++m_pendingCount;
    return WaveResult::Ok;
}

void CWaveQueue::DropLast()
{
    std::lock_guard lock(m_mutex);
    if (m_pendingCount == 0)
        return;
    --m_pendingCount;
    WaveHeader* header = m_pending[(m_pendingHead + m_pendingCount) % kCapacity];
    header->flags &= ~kWaveHeaderInQueue;
}

bool CWaveQueue::TakeNextLocked()
{
    while (!m_current || m_currentOffset >= m_current->bufferLengthBytes / 2)
    {
        if (m_current)
        {
            HandBackLocked(m_current, WaveMessage::Done);
            m_current = nullptr;
        }
        if (m_pendingCount == 0)
            return false;
        m_current = m_pending[m_pendingHead];
        m_pendingHead = (m_pendingHead + 1) % kCapacity;
        --m_pendingCount;
        m_currentOffset = 0;
    }
    return true;
}

const int16_t* CWaveQueue::Playing(uint32_t& count)
{
    std::lock_guard lock(m_mutex);
    if (!TakeNextLocked())
    {
        count = 0;
        return nullptr;
    }
    count = m_current->bufferLengthBytes / 2 - m_currentOffset;
    return m_current->data + m_currentOffset;
}

void CWaveQueue::Played(uint32_t count)
{
    std::lock_guard lock(m_mutex);
    if (!m_current)
        return; // handed back by ReturnAll meanwhile
    m_currentOffset += count;
    if (m_currentOffset >= m_current->bufferLengthBytes / 2)
    {
        HandBackLocked(m_current, WaveMessage::Done);
        m_current = nullptr;
    }
}

void CWaveQueue::ReturnAll(WaveMessage message)
{
    std::lock_guard lock(m_mutex);
    if (m_current)
    {
        HandBackLocked(m_current, message);
        m_current = nullptr;
    }
    while (m_pendingCount > 0)
    {
        HandBackLocked(m_pending[m_pendingHead], message);
        m_pendingHead = (m_pendingHead + 1) % kCapacity;
        --m_pendingCount;
    }
}

bool CWaveQueue::Idle()
{
    std::lock_guard lock(m_mutex);
    return !m_current && m_pendingCount == 0;
}

void CWaveQueue::HandBackLocked(WaveHeader* header, WaveMessage message)
{
    m_returned[(m_returnedHead + m_returnedCount) % kCapacity] = Returned{header, message};
    ++m_returnedCount;
    ++m_posted;
    m_wake.Post();
}

void CWaveQueue::WaitDelivered()
{
    if (std::this_thread::get_id() == m_thread.get_id())
        return; // against the contract; waiting here would never end
    std::unique_lock lock(m_mutex);
    const uint64_t target = m_posted;
    m_deliveredChanged.wait(lock, [&] { return m_delivered >= target; });
}

void CWaveQueue::NotificationThread()
{
    for (;;)
    {
        m_wake.Wait();
        for (;;)
        {
            Returned r;
            {
                std::lock_guard lock(m_mutex);
                if (m_returnedCount == 0)
                {
                    if (m_quit)
                        return;
                    break;
                }
                r = m_returned[m_returnedHead];
                m_returnedHead = (m_returnedHead + 1) % kCapacity;
                --m_returnedCount;
            }
            r.header->flags = (r.header->flags & ~kWaveHeaderInQueue) | kWaveHeaderDone;
            if (const WaveCallback callback = m_callback.load())
                callback(m_handle.load(), r.message, m_context.load(), r.header);
            {
                std::lock_guard lock(m_mutex);
                ++m_delivered;
            }
            m_deliveredChanged.notify_all();
        }
    }
}
