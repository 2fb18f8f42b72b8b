// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/cue_player.h"

#include <utility>

bool CCuePlayer::Queue(WaveHandle handle, const int16_t* samples, uint32_t count, ToneEar ear, int channels)
{
    if (channels == 2)
    {
        m_frames.assign(static_cast<size_t>(count) * 2, 0);
        for (uint32_t i = 0; i < count; ++i)
        {
            if (ear != ToneEar::Right)
                m_frames[2 * i] = samples[i];
            if (ear != ToneEar::Left)
                m_frames[2 * i + 1] = samples[i];
        }
        samples = m_frames.data();
    }
    if (m_prepared)
        m_waveOut.UnprepareHeader(handle, &m_header);
    m_header = WaveHeader{samples, count * 2 * static_cast<uint32_t>(channels), 0};
    m_waveOut.PrepareHeader(handle, &m_header);
    m_prepared = true;
    m_done.store(false, std::memory_order_release);
    if (m_waveOut.Write(handle, &m_header) != WaveResult::Ok)
    {
        MarkDone();
        return false;
    }
    return true;
}

void CCuePlayer::Release(WaveHandle handle)
{
    if (std::exchange(m_prepared, false))
        m_waveOut.UnprepareHeader(handle, &m_header);
}
