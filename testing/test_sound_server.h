// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "testing/paced_capture.h"

extern char** environ;

// A sound server of the test's own: PulseAudio without its default script,
// in a private runtime folder, whose default sink is a pipe at 44100 Hz mono
// s16le clocked in real time, read unpaced: the first minute is kept.
// PULSE_SERVER points this process (and the programs it starts) at it. The
// machine's own configuration is never read.
class CTestSoundServer
{
public:
    CTestSoundServer() : m_dir(MakeDir()), m_sink(m_dir + "/sink.raw", false)
    {
        std::ofstream(m_dir + "/server.pa")
            << "load-module module-native-protocol-unix socket=" << m_dir << "/native auth-anonymous=1\n"
            << "load-module module-pipe-sink file=" << m_dir << "/sink.raw"
            << " sink_name=capture format=s16le rate=44100 channels=1 use_system_clock_for_timing=yes"
               " sink_properties=device.description=Capture\n"
            << "set-default-sink capture\n";
        ::setenv("PULSE_SERVER", ("unix:" + m_dir + "/native").c_str(), 1);
        Start();
    }
    ~CTestSoundServer()
    {
        Kill();
        ::unsetenv("PULSE_SERVER");
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    CTestSoundServer(const CTestSoundServer&) = delete;
    CTestSoundServer& operator=(const CTestSoundServer&) = delete;

    // Starts the server and waits until it answers; false if it never does.
    bool Start()
    {
        std::vector<std::string> env = {"HOME=" + m_dir, "XDG_RUNTIME_DIR=" + m_dir, "PULSE_RUNTIME_PATH=" + m_dir,
                                        "PULSE_STATE_PATH=" + m_dir, "PATH=/usr/bin:/bin"};
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string script = m_dir + "/server.pa", log = "--log-target=file:" + m_dir + "/server.log";
        const char* argv[] = {"pulseaudio",
                              "--daemonize=no",
                              "-n",
                              "-F",
                              script.c_str(),
                              "--exit-idle-time=-1",
                              "--system=false",
                              "--disallow-exit=yes",
                              "--use-pid-file=no",
                              log.c_str(),
                              nullptr};
        if (::posix_spawnp(&m_pid, "pulseaudio", nullptr, nullptr, const_cast<char**>(argv), envp.data()) != 0)
        {
            m_pid = 0;
            return false;
        }
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < end)
        {
            if (Pactl("info >/dev/null 2>&1") == 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    void Kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }
    // pactl ARGS against this server; its exit status.
    int Pactl(const std::string& args) const
    {
        const int status = std::system(("pactl " + args).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::size_t Samples() const { return m_sink.Samples(); }
    std::vector<int16_t> Copy() const { return m_sink.Copy(); }
    bool WaitForSamples(std::size_t count, std::chrono::seconds limit = std::chrono::seconds(60)) const
    {
        return m_sink.WaitForSamples(count, limit);
    }

private:
    static std::string MakeDir()
    {
        char pattern[] = "/tmp/susurra-pulse-XXXXXX";
        return ::mkdtemp(pattern);
    }

    std::string m_dir;
    CPacedCapture m_sink;
    pid_t m_pid = 0;
};

// Where `expected` begins in `got` (matched on its first 64 samples), or npos.
inline std::size_t FindStream(const std::vector<int16_t>& got, const std::vector<int16_t>& expected,
                              std::size_t from = 0)
{
    const std::size_t key = std::min<std::size_t>(64, expected.size());
    for (std::size_t i = from; i + key <= got.size(); ++i)
        if (std::equal(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(key),
                       got.begin() + static_cast<std::ptrdiff_t>(i)))
            return i;
    return std::string::npos;
}
