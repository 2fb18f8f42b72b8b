// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/endless_blocks.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr int kN = CEndlessSpectrum::kPeriodSamples;
constexpr int kX = CEndlessSpectrum::kCrossfadeSamples;
} // namespace

CEndlessBlocks::CEndlessBlocks()
    : m_workspaces(new CEndlessWorkspace[kSlots]),
      m_periods(new int16_t[static_cast<size_t>(kSlots) * kN]()),
      m_heads(new double[static_cast<size_t>(kHeads) * kX]())
{
    std::fill(std::begin(m_headBlock), std::end(m_headBlock), -1);
}

CEndlessBlocks::~CEndlessBlocks() = default;

void CEndlessBlocks::Start(int type, double lower, double upper, uint64_t seed, const NotchBand& notch,
                           std::optional<uint64_t> levelSeed)
{
    StartEndlessSpectrum(m_spectrum, m_workspaces[0], type, lower, upper, seed, notch, levelSeed);
    m_firstMade = true;
    std::lock_guard lock(m_mutex);
    std::fill(std::begin(m_headBlock), std::end(m_headBlock), -1);
}

const int16_t* CEndlessBlocks::Make(int64_t b)
{
    CEndlessWorkspace& workspace = m_workspaces[b % kSlots];
    // Block 0 is the only one that uses workspace 0 first after Start.
    if (b != 0 || !m_firstMade)
        workspace.MakeRaw(m_spectrum, static_cast<uint64_t>(b));
    double* head = m_heads.get() + (b % kHeads) * kX;
    std::memcpy(head, workspace.Raw(), sizeof(double) * kX);

    const double* previous = nullptr;
    {
        std::unique_lock lock(m_mutex);
        if (b == 0)
            m_firstMade = false;
        m_headBlock[b % kHeads] = b;
        m_headDone.notify_all();
        if (b > 0)
        {
            const int64_t p = (b - 1) % kHeads;
            m_headDone.wait(lock, [&] { return m_headBlock[p] == b - 1; });
            previous = m_heads.get() + p * kX;
        }
    }
    int16_t* out = m_periods.get() + (b % kSlots) * kN;
    FormEndlessPeriod(m_spectrum, workspace.Raw(), previous, out);
    return out;
}
