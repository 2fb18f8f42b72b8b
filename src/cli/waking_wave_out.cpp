// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/waking_wave_out.h"

#include <unistd.h>

WaveResult CWakingWaveOut::Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                                void* context)
{
    m_callback.store(callback);
    m_context.store(context);
    const WaveResult result = m_backend.Open(handle, deviceId, format, &CWakingWaveOut::OnNotification, this);
    if (result == WaveResult::Ok)
        m_open = *handle;
    return result;
}

WaveResult CWakingWaveOut::Close(WaveHandle handle)
{
    const WaveResult result = m_backend.Close(handle);
    if (handle == m_open)
        m_open = 0;
    return result;
}

bool CWakingWaveOut::DrainOpen(int timeoutMs)
{
    return m_open == 0 || m_backend.Drain(m_open, timeoutMs);
}

void CWakingWaveOut::OnNotification(WaveHandle handle, WaveMessage message, void* self, WaveHeader* header)
{
    auto* me = static_cast<CWakingWaveOut*>(self);
    if (const WaveCallback callback = me->m_callback.load())
        callback(handle, message, me->m_context.load(), header);
    // After the engine saw the buffer, so that the woken thread finds what it did.
    ::kill(::getpid(), me->m_signal);
}
