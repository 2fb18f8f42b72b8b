// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/sound_render.h"

void MakeSignal(CNoiseSynth& synth, const SoundValues& sound)
{
    if (IsTone(sound.noiseType))
        synth.SynthesizeTone(static_cast<double>(sound.tinnitusFreq));
    else
        synth.Synthesize(sound.noiseType, sound.lowerLimit, sound.upperLimit);
}

bool WriteSoundFile(CWaveWriter& writer, const CNoiseSynth& synth, const SoundValues& sound,
                    const FileValues& file, int fd)
{
    writer.source = synth.m_source.get();
    const uint32_t blockLength = static_cast<uint32_t>(PeriodSamples(sound.noiseType));
    if (fd != -1)
        return writer.WriteTo(fd, file.totalSeconds, sound.surfStrength, sound.surfPeriod, file.fadeIn,
                              file.fadeOut, blockLength);
    return writer.Write(file.totalSeconds, sound.surfStrength, sound.surfPeriod, file.fadeIn, file.fadeOut,
                        blockLength);
}
