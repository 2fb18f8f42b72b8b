// SPDX-License-Identifier: GPL-3.0-or-later
// The wave queue both backends share: the audio side reads the buffers'
// samples in Write order, and every buffer comes back exactly once, in that
// order, with the message of the way it left.

#include "playback/backends/common/wave_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <numeric>
#include <vector>

#include "playback/backends/pulse/condition_wake.h"
#include "testing/param_name.h"

namespace
{

struct Notified
{
    int buffer;
    WaveMessage message;
    uint32_t flags;
};

struct QueueRun
{
    const char* name;
    std::vector<uint32_t> lengths;  // samples of each buffer written
    std::vector<uint32_t> steps;    // samples the audio side takes at a time, at most to a buffer's end
    bool returnAll;                 // then hand back the rest
    WaveMessage message;            // with this message
    std::vector<Notified> expected; // flags as the notification sees them
};

struct WaveQueueTest : testing::TestWithParam<QueueRun>
{
    static void OnDone(WaveHandle, WaveMessage message, void* context, WaveHeader* header)
    {
        auto* me = static_cast<WaveQueueTest*>(context);
        std::lock_guard lock(me->m_mutex);
        me->m_notified.push_back(Notified{static_cast<int>(header - me->m_headers.data()), message, header->flags});
    }

    CConditionWake m_wake;
    CWaveQueue m_queue{m_wake};
    std::vector<WaveHeader> m_headers;
    std::mutex m_mutex;
    std::vector<Notified> m_notified;
};

constexpr uint32_t kDone = kWaveHeaderDone | kWaveHeaderPrepared;

TEST_P(WaveQueueTest, HandsBackEveryBufferOnceInWriteOrder)
{
    const QueueRun& run = GetParam();
    // Buffer b holds 100 * b + 0, 1, 2, ...: each sample says where it came from.
    std::vector<std::vector<int16_t>> samples;
    std::vector<int16_t> written;
    for (std::size_t b = 0; b < run.lengths.size(); ++b)
    {
        samples.emplace_back(run.lengths[b]);
        std::iota(samples.back().begin(), samples.back().end(), static_cast<int16_t>(100 * b));
        written.insert(written.end(), samples.back().begin(), samples.back().end());
    }
    m_headers.resize(run.lengths.size());
    m_queue.SetTarget(7, &WaveQueueTest::OnDone, this);
    for (std::size_t b = 0; b < run.lengths.size(); ++b)
    {
        m_headers[b] = WaveHeader{samples[b].data(), run.lengths[b] * 2, kWaveHeaderPrepared};
        ASSERT_EQ(m_queue.Push(&m_headers[b]), WaveResult::Ok);
        EXPECT_EQ(m_headers[b].flags, kWaveHeaderPrepared | kWaveHeaderInQueue);
    }
    std::vector<int16_t> read;
    for (const uint32_t step : run.steps)
    {
        uint32_t left = 0;
        const int16_t* at = m_queue.Playing(left);
        const uint32_t taken = std::min(left, step);
        read.insert(read.end(), at, at + taken);
        m_queue.Played(taken);
    }
    if (run.returnAll)
        m_queue.ReturnAll(run.message);
    m_queue.WaitDelivered();

    EXPECT_TRUE(std::equal(read.begin(), read.end(), written.begin())) << "the samples left out of order";
    ASSERT_EQ(m_notified.size(), run.expected.size());
    for (std::size_t i = 0; i < run.expected.size(); ++i)
    {
        EXPECT_EQ(m_notified[i].buffer, run.expected[i].buffer) << i;
        EXPECT_EQ(m_notified[i].message, run.expected[i].message) << i;
        EXPECT_EQ(m_notified[i].flags, run.expected[i].flags) << i;
    }
    EXPECT_TRUE(m_queue.Idle());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WaveQueueTest,
    testing::Values(QueueRun{"played to the end in steps",
                             {4, 4},
                             {3, 1, 2, 2},
                             false,
                             WaveMessage::Done,
                             {{0, WaveMessage::Done, kDone}, {1, WaveMessage::Done, kDone}}},
                    QueueRun{
                        "a reset hands back the playing one and the queued",
                        {4, 4, 4},
                        {5},
                        true,
                        WaveMessage::Done,
                        {{0, WaveMessage::Done, kDone}, {1, WaveMessage::Done, kDone}, {2, WaveMessage::Done, kDone}}},
                    QueueRun{"a failure hands back the rest with the device error",
                             {4, 4},
                             {2},
                             true,
                             WaveMessage::DeviceError,
                             {{0, WaveMessage::DeviceError, kDone}, {1, WaveMessage::DeviceError, kDone}}},
                    QueueRun{"an empty buffer comes back on the way",
                             {0, 4},
                             {4},
                             false,
                             WaveMessage::Done,
                             {{0, WaveMessage::Done, kDone}, {1, WaveMessage::Done, kDone}}}),
    RowName());

TEST(WaveQueue, BuffersHandedBackButNotYetDeliveredStillCountAsInFlight)
{
    CConditionWake wake;
    CWaveQueue queue(wake);
    std::vector<WaveHeader> headers(CWaveQueue::kCapacity + 1);
    for (int i = 0; i < CWaveQueue::kCapacity; ++i)
        ASSERT_EQ(queue.Push(&headers[static_cast<std::size_t>(i)]), WaveResult::Ok) << i;
    EXPECT_EQ(queue.Push(&headers.back()), WaveResult::QueueFull);
    // Handed back, while the notification thread is held in the first
    // callback: the other fifteen wait in the ring of returns, which must not
    // overflow, so one Push fits and the next does not.
    struct Hold
    {
        std::mutex mutex;
        std::atomic<bool> entered{false};
    } hold;
    std::unique_lock held(hold.mutex);
    queue.SetTarget(
        1,
        [](WaveHandle, WaveMessage, void* context, WaveHeader*) {
            auto* h = static_cast<Hold*>(context);
            h->entered.store(true);
            std::lock_guard wait(h->mutex);
        },
        &hold);
    queue.ReturnAll(WaveMessage::Done);
    while (!hold.entered.load())
        std::this_thread::yield();
    EXPECT_EQ(queue.Push(&headers[0]), WaveResult::Ok);
    EXPECT_EQ(queue.Push(&headers.back()), WaveResult::QueueFull);
    held.unlock();
    queue.WaitDelivered();
    EXPECT_EQ(queue.Push(&headers.back()), WaveResult::Ok);
    queue.ReturnAll(WaveMessage::Done);
    queue.WaitDelivered();
}

} // namespace
