// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fstream>
#include <string>

#include "testing/test_sound_server.h"

// PipeWire as the sound server of the test's own: pipewire, wireplumber and
// pipewire-pulse on a session bus of their own (dbus-run-session), reading
// their configuration from the test's folder besides the packaged one. The
// pipe is a pipe-tunnel sink; the graph's clock is forced to 44100 Hz, so
// nothing is resampled. Clients reach it through pipewire-pulse.
class CTestPipeWire : public CTestServerBase
{
public:
    CTestPipeWire() : CTestServerBase("pipewire")
    {
        std::filesystem::create_directories(m_dir + "/config/pipewire/pipewire.conf.d");
        std::ofstream(m_dir + "/config/pipewire/pipewire.conf.d/capture.conf")
            << "context.modules = [\n"
               "  { name = libpipewire-module-pipe-tunnel\n"
               "    args = {\n"
               "      tunnel.mode = sink\n"
               "      pipe.filename = \""
            << m_dir
            << "/sink.raw\"\n"
               "      audio.format = S16LE\n"
               "      audio.rate = 44100\n"
               "      audio.channels = 1\n"
               "      audio.position = [ MONO ]\n"
               "      stream.props = { node.name = capture node.description = Capture }\n"
               "    }\n"
               "  }\n"
               "]\n";
        // The script, and with it the session bus, ends when pipewire does.
        std::ofstream(m_dir + "/run.sh") << "pipewire &\n"
                                            "daemon=$!\n"
                                            "sleep 0.2\n"
                                            "wireplumber &\n"
                                            "pipewire-pulse &\n"
                                            "wait $daemon\n";
        ::setenv("PULSE_SERVER", ("unix:" + m_dir + "/pulse/native").c_str(), 1);
        m_started = Start();
    }

    // The daemons answer.
    bool Started() const { return m_started; }
    // PipeWire itself ended while starting: it cannot run on this machine.
    bool CannotRun() const { return !m_started && m_pid == 0; }

    bool Start() override
    {
        if (!Spawn({"dbus-run-session", "--", "sh", m_dir + "/run.sh"}, {"XDG_CONFIG_HOME=" + m_dir + "/config"})
            || !WaitAnswers())
            return false;
        // The sink must be there and chosen, and the graph at the stream's rate.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Pactl("get-default-sink 2>/dev/null | grep -qx capture") != 0)
        {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::system(
                   ("XDG_RUNTIME_DIR='" + m_dir + "' pw-metadata -n settings 0 clock.force-rate 44100 >/dev/null 2>&1")
                       .c_str())
               == 0;
    }

private:
    bool m_started = false;
};
