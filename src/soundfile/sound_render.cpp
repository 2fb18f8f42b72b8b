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

bool WriteSoundFile(CWaveWriter& writer, const CNoiseSynth& synth, const SoundValues& sound, const FileValues& file,
                    int fd, EncoderTimes* times)
{
    writer.source = synth.m_source.get();
    const uint32_t blockLength = static_cast<uint32_t>(PeriodSamples(sound.noiseType));
    // About 20 MB of transform buffers, for the length of one file only.
    std::unique_ptr<CEndlessBlocks> endless;
    if (sound.endless && !IsTone(sound.noiseType))
    {
        endless = std::make_unique<CEndlessBlocks>();
        endless->Start(sound.noiseType, sound.lowerLimit, sound.upperLimit, sound.seed, NotchOf(sound));
    }
    writer.endless = endless.get();
    const auto writeTo = [&](int out) {
        return writer.WriteTo(out, file.totalSeconds, sound.surfStrength, sound.surfPeriod, file.fadeIn, file.fadeOut,
                              blockLength);
    };
    const SoundFileType type = fd != -1 ? SoundFileType::Wave : SoundFileTypeOf(writer.fileName);
    bool ok = false;
    if (fd != -1)
        ok = writeTo(fd);
    else if (type == SoundFileType::Wave)
        ok = writer.Write(file.totalSeconds, sound.surfStrength, sound.surfPeriod, file.fadeIn, file.fadeOut,
                          blockLength);
    else
        ok = WriteCompressedFile(writer, type, file.totalSeconds, writeTo, times);
    writer.endless = nullptr;
    return ok;
}
