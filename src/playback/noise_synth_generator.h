#pragma once

#include "playback/signal_generator.h"
#include "synth/noise_synth.h"

// Lets the playback engine drive the one CNoiseSynth of the program.
class CNoiseSynthGenerator : public ISignalGenerator
{
public:
    explicit CNoiseSynthGenerator(CNoiseSynth& synth) : m_synth(synth) {}

    bool Ready() const override { return m_synth.m_ready; }
    void Synthesize(int type, double lower, double upper, const NotchBand& notch) override
    {
        m_synth.Synthesize(type, lower, upper, notch);
    }
    void MatchRmsOf(const int16_t* reference) override { m_synth.MatchRmsOf(reference); }
    void SynthesizeTone(double frequency) override { m_synth.SynthesizeTone(frequency); }
    const int16_t* Source() const override { return m_synth.m_source.get(); }

private:
    CNoiseSynth& m_synth;
};
