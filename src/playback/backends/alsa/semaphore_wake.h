// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <semaphore.h>

#include <cerrno>

#include "playback/backends/common/wave_wake.h"

// The ALSA backend's wake: sem_post never blocks, so the real-time callback
// may post.
class CSemaphoreWake final : public IWaveWake
{
public:
    CSemaphoreWake() { ::sem_init(&m_semaphore, 0, 0); }
    ~CSemaphoreWake() override { ::sem_destroy(&m_semaphore); }
    CSemaphoreWake(const CSemaphoreWake&) = delete;
    CSemaphoreWake& operator=(const CSemaphoreWake&) = delete;

    void Post() override { ::sem_post(&m_semaphore); }
    void Wait() override
    {
        while (::sem_wait(&m_semaphore) != 0 && errno == EINTR)
        {}
    }

private:
    sem_t m_semaphore;
};
