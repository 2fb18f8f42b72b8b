// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a backend's audio side wakes the notification thread of its wave
// queue. Each backend brings its own: one whose audio side runs on a
// real-time thread needs a Post that never blocks.
class IWaveWake
{
public:
    virtual ~IWaveWake() = default;
    // Wakes Wait. Any thread may call it, also while holding the queue's lock.
    virtual void Post() = 0;
    // Returns once Post was called since the last return; may return early.
    virtual void Wait() = 0;
};
