// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a few seconds of every signal, with surf and fades, as wave files
// into the folder given: physiological.wav, white.wav, pink.wav, tone.wav,
// brown.wav.
// Builds for different processors compare these files byte for byte.
#include <cstdio>
#include <string>

#include "soundfile/sound_render.h"

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const struct
    {
        const char* name;
        int type;
    } signals[] = {
        {"physiological", Physiological}, {"white", White}, {"pink", Pink}, {"tone", TinnitusFinder}, {"brown", Brown}};

    CNoiseSynth synth;
    CWaveWriter writer(0);
    const FileValues file{1.0, 1.0, 8.0};
    for (const auto& signal : signals)
    {
        SoundValues sound;
        sound.noiseType = signal.type;
        sound.lowerLimit = 20.0;
        sound.upperLimit = 20000.0;
        sound.tinnitusFreq = 6000;
        sound.surfPeriod = 5.0;
        MakeSignal(synth, sound);
        const std::string path = std::string(argv[1]) + "/" + signal.name + ".wav";
        if (!writer.SetFileName(path) || !WriteSoundFile(writer, synth, sound, file))
        {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
