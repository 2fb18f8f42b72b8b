// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/ear_mixer.h"

#include "playback/fade_curve.h"
#include "synth/ear_gain.h"
#include "synth/noise_type.h"

CEarMixer::CEarMixer(CRefillChain& left, ISignalGenerator& leftSynth, ISignalGenerator* rightSynth)
    : m_left(left), m_leftSynth(leftSynth), m_rightSynth(rightSynth)
{
    if (m_rightSynth)
        m_rightChain = std::make_unique<CRefillChain>(*m_rightSynth, m_left);
}

bool CEarMixer::Wanted(const PlayParameters& params) const
{
    return params.stereo.on && m_rightChain;
}

void CEarMixer::SetEars(const PlayParameters& params)
{
    const bool stereo = Wanted(params);
    if (stereo && !m_stereoBuffer)
    {
        m_stereoBuffer.reset(new int16_t[2 * static_cast<size_t>(CRefillChain::kPeriodSamples)]());
        m_stereoRemade.reset(new int16_t[2 * static_cast<size_t>(CRefillChain::kHistorySamples)]());
    }
    const bool tone = IsTone(params.noiseType);
    const auto lock = m_left.Lock();
    m_stereoRun = stereo;
    m_rightNoise = stereo && !tone;
    for (int ear = 0; ear < 2; ++ear)
        m_earGain[ear] = !stereo ? 1.0
                         : tone  ? ToneEarGain(params.stereo, ear)
                                 : EarGain(params.stereo.earLevelDb[ear]);
}

void CEarMixer::SynthesizeRight(const PlayParameters& params, bool leftMadeNow)
{
    if (!m_rightNoise)
        return;
    const RightMade wanted{params.noiseType, params.lowerLimit, params.upperLimit, CRefillChain::Notch(params)};
    if (!leftMadeNow && m_rightSynth->Ready() && m_rightMade && m_rightMade->type == wanted.type
        && m_rightMade->lower == wanted.lower && m_rightMade->upper == wanted.upper
        && SameNotch(m_rightMade->notch, wanted.notch))
        return;
    m_rightSynth->Synthesize(wanted.type, wanted.lower, wanted.upper, wanted.notch);
    m_rightSynth->MatchRmsOf(m_leftSynth.Source());
    m_rightMade = wanted;
}

void CEarMixer::SetSurf(double strength, double period)
{
    if (m_rightChain)
        m_rightChain->SetSurf(strength, period);
}

void CEarMixer::SetEndlessTilt(const SpectrumTilt& right)
{
    if (m_rightChain)
        m_rightChain->SetEndlessTilt(right);
}

void CEarMixer::SetStreamEnd(int64_t end, int64_t fade)
{
    if (m_rightChain)
        m_rightChain->SetStreamEnd(end, fade);
}

void CEarMixer::ClearStreamEnd()
{
    if (m_rightChain)
        m_rightChain->ClearStreamEnd();
}

void CEarMixer::Start(const PlayParameters& run, uint64_t leftSeed)
{
    if (!m_rightNoise)
        return;
    // The same run, with the right ear's own endless noise.
    PlayParameters right = run;
    right.seed = RightEarSeed(run.seed);
    m_rightChain->Start(right, leftSeed);
}

void CEarMixer::HoldOldSound()
{
    if (m_rightNoise)
        m_rightChain->HoldOldSound();
}

void CEarMixer::GlideFrom(int64_t from, int type)
{
    if (m_rightNoise)
        m_rightChain->GlideFrom(from, type);
}

void CEarMixer::StopTail(int64_t from, int64_t to)
{
    if (m_rightNoise)
        m_rightChain->StopTail(from, to);
}

void CEarMixer::FillHalf(int half)
{
    if (m_rightNoise)
        m_rightChain->FillHalf(half);
}

void CEarMixer::Interleave(const int16_t* left, const int16_t* right, int16_t* out, int count) const
{
    for (int i = 0; i < count; ++i)
    {
        out[2 * i] = FadeCurve::Scale(left[i], m_earGain[0]);
        out[2 * i + 1] = FadeCurve::Scale(right[i], m_earGain[1]);
    }
}

void CEarMixer::InterleaveHalf(int half)
{
    if (!m_stereoRun)
        return;
    const int offset = half != 0 ? m_left.HalfLength() : 0;
    Interleave(m_left.Buffer() + offset, RightSource().Buffer() + offset, m_stereoBuffer.get() + 2 * offset,
               m_left.Kept(half));
}

void CEarMixer::InterleaveRemade(int count)
{
    if (!m_stereoRun || count <= 0)
        return;
    Interleave(m_left.Remade(), RightSource().Remade(), m_stereoRemade.get(), count);
}
