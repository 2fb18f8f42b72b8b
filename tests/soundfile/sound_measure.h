// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "soundfile/sound_render.h"
#include "testing/power_spectrum.h"
#include "testing/sound_level.h"
#include "testing/temp_folder.h"

// A wave file as the render path writes it, read back whole.
inline std::string RenderWave(const CTempFolder& dir, const SoundValues& sound, const FileValues& file, int workers = 2)
{
    CNoiseSynth synth;
    MakeSignal(synth, sound);
    CWaveWriter writer(workers);
    EXPECT_TRUE(writer.SetFileName(dir / "sound.wav"));
    EXPECT_TRUE(WriteSoundFile(writer, synth, sound, file));
    return ReadAll(dir / "sound.wav");
}
