// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "playback/backends/common/wave_wake.h"
#include "playback/wave_out.h"

// The buffers a backend holds between Write and their notification, and the
// notification thread that hands them back: queued, then playing (the one
// the audio side reads now), then handed back, always in Write order.
// - The audio side (a real-time callback or a sound server's loop) calls
//   Playing and Played; Push, DropLast and ReturnAll come from the backend's
//   controlling side or its failure handlers. Every call takes the queue's
//   own lock for a few instructions only and never allocates.
// - Each handed-back buffer gets one call of the callback from SetTarget on
//   the queue's notification thread, woken through the backend's IWaveWake.
// - WaitDelivered returns once every buffer handed back so far has had its
//   notification delivered and returned.
class CWaveQueue
{
public:
    static constexpr int kCapacity = 16; // buffers in flight, queued to handed back

    // Starts the notification thread; `wake` must outlive the queue.
    explicit CWaveQueue(IWaveWake& wake);
    // Delivers what is still handed back, then ends the thread.
    ~CWaveQueue();
    CWaveQueue(const CWaveQueue&) = delete;
    CWaveQueue& operator=(const CWaveQueue&) = delete;

    // Where notifications go from now on; a null callback drops them.
    void SetTarget(WaveHandle handle, WaveCallback callback, void* context);

    // Queues a buffer after the others; QueueFull when kCapacity are in flight.
    WaveResult Push(WaveHeader* header);
    // Takes back the buffer Push queued last, before the audio side saw it.
    void DropLast();
    // Counts are in samples: a two-channel frame is two of them.
    // The samples of the playing buffer not yet played, starting the next
    // queued buffer when none plays; count 0 when nothing is queued.
    // Buffers with no samples are handed back on the way.
    const int16_t* Playing(uint32_t& count);
    // `count` samples of the playing buffer were played; hands it back once
    // all were.
    void Played(uint32_t count);
    // Hands back the playing buffer and every queued one with `message`.
    void ReturnAll(WaveMessage message);
    // No buffer is queued or playing.
    bool Idle();

    // See above; returns at once on the notification thread itself.
    void WaitDelivered();

private:
    struct Returned
    {
        WaveHeader* header;
        WaveMessage message;
    };

    void HandBackLocked(WaveHeader* header, WaveMessage message);
    bool TakeNextLocked();
    void NotificationThread();

    IWaveWake& m_wake;
    std::atomic<WaveCallback> m_callback{nullptr};
    std::atomic<void*> m_context{nullptr};
    std::atomic<WaveHandle> m_handle{0};

    std::mutex m_mutex;
    WaveHeader* m_pending[kCapacity] = {};
    int m_pendingHead = 0;
    int m_pendingCount = 0;
    WaveHeader* m_current = nullptr;
    uint32_t m_currentOffset = 0; // samples of m_current already played
    Returned m_returned[kCapacity] = {};
    int m_returnedHead = 0;
    int m_returnedCount = 0;
    uint64_t m_posted = 0;    // buffers handed back
    uint64_t m_delivered = 0; // notifications that have returned
    bool m_quit = false;
    std::condition_variable m_deliveredChanged;
    std::thread m_thread;
};
