// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/sound_render.h"

#include <memory>

#include "soundfile/endless_blocks.h"
#include "synth/ear_gain.h"
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

void StartRightEar(CNoiseSynth& synth)
{
    synth.m_phase = CPhaseGenerator(kRightEarPhaseState);
}

void MakeRightSignal(CNoiseSynth& synth, const SoundValues& sound, const CNoiseSynth& left)
{
    if (IsTone(sound.noiseType))
        return;
    synth.m_tilt = sound.rightTilt;
    synth.Synthesize(sound.noiseType, sound.lowerLimit, sound.upperLimit, NotchOf(sound));
    synth.MatchRmsOf(left.m_source.get());
}

CIoResult WriteSoundFile(CWaveWriter& writer, const CNoiseSynth& synth, const SoundValues& sound,
                         const FileValues& file, int fd, EncoderTimes* times, const CNoiseSynth* right)
{
    writer.source = synth.m_source.get();
    const uint32_t blockLength = static_cast<uint32_t>(PeriodSamples(sound.noiseType));
    const bool tone = IsTone(sound.noiseType);
    const bool endlessNoise = sound.endless && !tone;
    const bool stereo = sound.stereo.on;
    // About 20 MB of transform buffers per ear, for the length of one file only.
    std::unique_ptr<CEndlessBlocks> endless;
    std::unique_ptr<CEndlessBlocks> rightEndless;
    if (endlessNoise)
    {
        endless = std::make_unique<CEndlessBlocks>();
        endless->SetTilt(sound.tilt);
        endless->Start(sound.noiseType, sound.lowerLimit, sound.upperLimit, sound.seed, NotchOf(sound));
    }
    if (endlessNoise && stereo)
    {
        rightEndless = std::make_unique<CEndlessBlocks>();
        rightEndless->SetTilt(sound.rightTilt);
        rightEndless->Start(sound.noiseType, sound.lowerLimit, sound.upperLimit, RightEarSeed(sound.seed),
                            NotchOf(sound), sound.seed);
    }
    // The repeated noise's right ear, when the caller has none at hand.
    std::unique_ptr<CNoiseSynth> ownRight;
    if (stereo && !tone && !endlessNoise && right == nullptr)
    {
        ownRight = std::make_unique<CNoiseSynth>();
        StartRightEar(*ownRight);
        MakeRightSignal(*ownRight, sound, synth);
        right = ownRight.get();
    }
    writer.endless = endless.get();
    writer.channels = stereo ? 2 : 1;
    // The tone and endless noise take their right ear from elsewhere; the
    // left period only stands in for it.
    writer.rightSource = !stereo ? nullptr : right != nullptr && !tone ? right->m_source.get() : synth.m_source.get();
    writer.rightEndless = rightEndless.get();
    for (int ear = 0; ear < 2; ++ear)
        writer.channelGain[static_cast<size_t>(ear)] =
            tone ? ToneEarGain(sound.stereo, ear) : EarGain(sound.stereo.earLevelDb[static_cast<size_t>(ear)]);
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
        result = WriteCompressedFile(writer.fileName, type, file.totalSeconds, encoderStream, times, writer.fileCalls,
                                     writer.channels);
    writer.endless = nullptr;
    writer.rightEndless = nullptr;
    writer.rightSource = nullptr;
    writer.channels = 1;
    return result;
}
