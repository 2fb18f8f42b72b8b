// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/sound_render.h"

#include <memory>

#include "soundfile/endless_blocks.h"
#include "synth/parameter_limits.h"
#include "synth/sample_rate.h"

NotchBand NotchOf(const SoundValues& sound)
{
    return NotchBand{sound.notch && !IsTone(sound.noiseType), static_cast<double>(sound.tinnitusFreq),
                     ValidNotchWidth(sound.notchWidthOctaves)};
}

void MakeSignal(CNoiseSynth& synth, const SoundValues& sound)
{
    if (IsTone(sound.noiseType))
    {
        synth.SynthesizeTone(static_cast<double>(sound.tinnitusFreq));
    }
    else
    {
        synth.m_tilt = sound.tilt;
        synth.Synthesize(sound.noiseType, sound.lowerLimit, sound.upperLimit, NotchOf(sound));
    }
}

CIoResult WriteSoundFile(CWaveWriter& writer, const CNoiseSynth& synth, const SoundValues& sound,
                         const FileValues& file, int fd, EncoderTimes* times)
{
    writer.source = synth.m_source.get();
    const uint32_t blockLength = static_cast<uint32_t>(PeriodSamples(sound.noiseType));
    // About 20 MB of transform buffers, for the length of one file only.
    std::unique_ptr<CEndlessBlocks> endless;
    if (sound.endless && !IsTone(sound.noiseType))
    {
        endless = std::make_unique<CEndlessBlocks>();
        endless->SetTilt(sound.tilt);
        endless->Start(sound.noiseType, sound.lowerLimit, sound.upperLimit, sound.seed, NotchOf(sound));
    }
    writer.endless = endless.get();
    // The encoders take up to 23:59:59; only a WAV's header ends sooner.
    const auto encoderStream = [&](int out) {
        return writer.WriteTo(out, file.totalSeconds, sound.surfStrength, sound.surfPeriod, file.fadeIn, file.fadeOut,
                              blockLength, static_cast<int64_t>(Limits::kMaxClockSeconds) * kSampleRate);
    };
    CIoResult result;
    if (fd != -1)
        result = writer.WriteTo(fd, file.totalSeconds, sound.surfStrength, sound.surfPeriod, file.fadeIn, file.fadeOut,
                                blockLength);
    else if (const SoundFileType type = SoundFileTypeOf(writer.fileName); type == SoundFileType::Wave)
        result = writer.Write(file.totalSeconds, sound.surfStrength, sound.surfPeriod, file.fadeIn, file.fadeOut,
                              blockLength);
    else
        result = WriteCompressedFile(writer.fileName, type, file.totalSeconds, encoderStream, times, writer.fileCalls);
    writer.endless = nullptr;
    return result;
}
