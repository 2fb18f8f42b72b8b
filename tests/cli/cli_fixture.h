// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "soundfile/wave_writer.h"
#include "synth/noise_synth.h"
#include "synth/noise_type.h"
#include "testing/temp_folder.h"

// What play says on standard error when it plays to the end.
inline const std::string kPlayStatus =
    "susurra-cli: generating noise signal\nsusurra-cli: playing\nsusurra-cli: nothing to do\n";

// susurra-cli run through the shell in a folder of its own, which is also its
// home: output in out, errors in err, and ALSA reading only the folder's
// asound.conf.
class CCliTest : public ::testing::Test
{
protected:
    // "{dir}" in text stands for the folder, which ends in '/'.
    std::string InFolder(std::string text) const
    {
        for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;)
            text.replace(at, 5, m_dir.Path());
        return text;
    }
    std::string Command(const std::string& args) const
    {
        return InFolder("env -u XDG_CONFIG_HOME HOME='{dir}' SUSURRA_BACKEND=alsa ALSA_CONFIG_PATH='{dir}asound.conf' '"
                        + m_cli + "' " + args);
    }
    // A copy of the program in the folder, which then keeps its settings and
    // hearing profile there.
    void UseOwnCopy()
    {
        m_cli = m_dir / "susurra-cli";
        std::filesystem::copy_file(SUSURRA_CLI, m_cli);
    }
    int Run(const std::string& args) const { return RunShell(m_dir, Command(args)); }
    std::string Out() const { return ReadAll(m_dir / "out"); }
    std::string Err() const { return ReadAll(m_dir / "err"); }
    std::string File(const std::string& name) const { return ReadAll(m_dir / name); }

    // What the window's To File writes as the first signal of the program,
    // from 100 to 20000 Hz.
    std::string LibraryFile(int type, double frequency, double seconds, double surfStrength, double surfPeriod,
                            double fadeIn, double fadeOut, const NotchBand& notch = {}) const
    {
        CNoiseSynth synth;
        if (type == TinnitusFinder)
            synth.SynthesizeTone(frequency);
        else
            synth.Synthesize(type, 100.0, 20000.0, notch);
        CWaveWriter writer;
        writer.source = synth.m_source.get();
        EXPECT_TRUE(writer.SetFileName(m_dir / "library.wav"));
        EXPECT_TRUE(
            writer.Write(seconds, surfStrength, surfPeriod, fadeIn, fadeOut, type == TinnitusFinder ? 44100 : 262144));
        return File("library.wav");
    }

    CTempFolder m_dir;
    std::string m_cli = SUSURRA_CLI;
};
