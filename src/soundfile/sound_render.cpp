// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/sound_render.h"

#include <memory>

#include "soundfile/endless_blocks.h"

NotchBand NotchOf(const SoundValues& sound)
{
    return NotchBand{sound.notch && !IsTone(sound.noiseType), static_cast<double>(sound.tinnitusFreq),
                     ValidNotchWidth(sound.notchWidthOctaves)};
}

void MakeSignal(CNoiseSynth& synth, const SoundValues& sound)
{
    if (IsTone(sound.noiseType))
        synth.SynthesizeTone(static_cast<double>(sound.tinnitusFreq));
    else
        synth.Synthesize(sound.noiseType, sound.lowerLimit, sound.upperLimit, NotchOf(sound));
}

bool WriteSoundFile(CWaveWriter& writer, const CNoiseSynth& synth, const SoundValues& sound,
                    const FileValues& file, int fd)
{
    writer.source = synth.m_source.get();
    const uint32_t blockLength = static_cast<uint32_t>(PeriodSamples(sound.noiseType));
    // About 20 MB of transform buffers, for the length of one file only.
    std::unique_ptr<CEndlessBlocks> endless;
    if (sound.endless && !IsTone(sound.noiseType)) {
        endless = std::make_unique<CEndlessBlocks>();
        endless->Start(sound.noiseType, sound.lowerLimit, sound.upperLimit, sound.seed, NotchOf(sound));
    }
    writer.endless = endless.get();
    const bool ok = fd != -1 ? writer.WriteTo(fd, file.totalSeconds, sound.surfStrength, sound.surfPeriod,
                                              file.fadeIn, file.fadeOut, blockLength)
                             : writer.Write(file.totalSeconds, sound.surfStrength, sound.surfPeriod,
                                            file.fadeIn, file.fadeOut, blockLength);
    writer.endless = nullptr;
    return ok;
}
