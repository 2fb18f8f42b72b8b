// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <mutex>

#include "playback/backends/common/wave_wake.h"

// The sound-server backend's wake: a flag and a condition variable. Its
// audio side is the server's loop thread, which may wait briefly.
class CConditionWake final : public IWaveWake
{
public:
    void Post() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_posted = true;
        }
        m_changed.notify_one();
    }
    void Wait() override
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_posted; });
        m_posted = false;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_posted = false;
};
