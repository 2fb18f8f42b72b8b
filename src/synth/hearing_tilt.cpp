// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth/hearing_tilt.h"

#include <algorithm>
#include <cmath>
#include <map>

double SpectrumTilt::DbAt(double frequency) const
{
    if (count == 0)
        return 0.0;
    if (!(frequency > hz[0]))
        return db[0];
    for (int i = 1; i < count; ++i)
    {
        if (frequency <= hz[i])
        {
            const double t = std::log2(frequency / hz[i - 1]) / std::log2(hz[i] / hz[i - 1]);
            return db[i - 1] + t * (db[i] - db[i - 1]);
        }
    }
    return db[count - 1];
}

double SpectrumTilt::GainAt(double frequency) const
{
    return std::pow(10.0, DbAt(frequency) / 20.0);
}

SpectrumTilt HearingTilt(const HearingProfile& profile, HearingEar ear)
{
    // Frequency -> the levels found there, ordered by frequency.
    const auto collect = [&profile](HearingEar which) {
        std::map<int, double> levels;
        for (const HearingThreshold& t : profile.thresholds)
            if (t.ear == which)
                levels[t.frequencyHz] = t.levelDb;
        return levels;
    };
    std::map<int, double> levels = collect(ear);
    if (levels.empty() && ear != HearingEar::Both)
        levels = collect(HearingEar::Both);
    if (levels.empty() && ear == HearingEar::Both)
    {
        const std::map<int, double> left = collect(HearingEar::Left);
        const std::map<int, double> right = collect(HearingEar::Right);
        for (const auto& [hz, level] : left)
            if (const auto other = right.find(hz); other != right.end())
                levels[hz] = 0.5 * (level + other->second);
        if (levels.empty())
            levels = left.empty() ? right : left;
    }
    SpectrumTilt tilt;
    if (levels.empty())
        return tilt;
    double sum = 0.0;
    for (const auto& entry : levels)
        sum += entry.second;
    const double mean = sum / static_cast<double>(levels.size());
    for (const auto& [hz, level] : levels)
    {
        if (tilt.count == SpectrumTilt::kMaxPoints)
            break;
        tilt.hz[static_cast<size_t>(tilt.count)] = hz;
        tilt.db[static_cast<size_t>(tilt.count)] =
            std::clamp(level - mean, -SpectrumTilt::kMaxCutDb, SpectrumTilt::kMaxBoostDb);
        ++tilt.count;
    }
    return tilt;
}
