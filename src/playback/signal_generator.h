#pragma once

#include <cstdint>

#include "synth/notch_band.h"

// The synthesizer as the playback engine sees it: makes one period of signal
// on the calling thread and keeps it in a source buffer whose address never
// changes. Called on the UI thread only.
class ISignalGenerator
{
public:
    virtual ~ISignalGenerator() = default;

    // True while a noise period made by Synthesize is current (m_ready).
    virtual bool Ready() const = 0;
    // Makes a noise period (262144 samples) of type 0..2, without the
    // notch's band, into the source.
    virtual void Synthesize(int type, double lower, double upper, const NotchBand& notch) = 0;
    // Scales the noise period to the RMS of reference (262144 samples): the
    // right ear takes the left ear's loudness. Generators without a level of
    // their own keep theirs.
    virtual void MatchRmsOf(const int16_t* reference) { static_cast<void>(reference); }
    // Makes one second of tone (44100 samples) into the source.
    virtual void SynthesizeTone(double frequency) = 0;
    // The unchanging period, at least 262144 samples.
    virtual const int16_t* Source() const = 0;
};
