// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
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

// A sound server of the test's own in a private runtime folder, whose
// default sink "Capture" is a pipe at 44100 Hz mono s16le clocked in real
// time, read unpaced: the first minute is kept. PULSE_SERVER points this
// process (and the programs it starts) at it. The machine's own
// configuration is never written.
class CTestServerBase
{
public:
    virtual ~CTestServerBase()
    {
        Kill();
        ::unsetenv("PULSE_SERVER");
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    CTestServerBase(const CTestServerBase&) = delete;
    CTestServerBase& operator=(const CTestServerBase&) = delete;

    // Starts the server and waits until it answers; false if it never does.
    virtual bool Start() = 0;
    void Kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(-m_pid, SIGCONT);
        ::kill(-m_pid, SIGKILL); // the server and whatever it started
        ::waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }
    // Stops the server's processes where they are (they take no samples)
    // and lets them go on.
    void Freeze() const { ::kill(-m_pid, SIGSTOP); }
    void Thaw() const { ::kill(-m_pid, SIGCONT); }
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
    const std::string& Dir() const { return m_dir; }
    // The server's own log, for a failure message.
    std::string Log() const
    {
        std::ifstream in(m_dir + "/server.log");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

protected:
    explicit CTestServerBase(const char* name) : m_dir(MakeDir(name)), m_sink(m_dir + "/sink.raw", false) {}

    // Runs argv in a process group of its own with only `env`, its output
    // in server.log.
    bool Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env)
    {
        std::vector<std::string> vars = env;
        vars.insert(vars.end(), {"HOME=" + m_dir, "XDG_RUNTIME_DIR=" + m_dir, "PATH=/usr/bin:/bin"});
        std::vector<char*> envp, argv;
        for (std::string& e : vars)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<std::string> copy = args;
        for (std::string& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, (m_dir + "/server.log").c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0600);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        const int failed = ::posix_spawnp(&m_pid, argv[0], &files, &attributes, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
        if (failed != 0)
            m_pid = 0;
        return failed == 0;
    }
    // Waits until `pactl info` answers, at most `limit`; false as soon as
    // the server's process has ended.
    bool WaitAnswers(std::chrono::seconds limit = std::chrono::seconds(20))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end)
        {
            if (Pactl("info >/dev/null 2>&1") == 0)
                return true;
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid)
            {
                m_pid = 0;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::string m_dir;
    CPacedCapture m_sink;
    pid_t m_pid = 0;

private:
    static std::string MakeDir(const char* name)
    {
        std::string pattern = std::string("/tmp/susurra-") + name + "-XXXXXX";
        return ::mkdtemp(pattern.data());
    }
};

// PulseAudio without its default script; the pipe is module-pipe-sink's,
// mono or (channels 2) front left and right interleaved.
class CTestSoundServer : public CTestServerBase
{
public:
    explicit CTestSoundServer(int channels = 1) : CTestServerBase("pulse")
    {
        std::ofstream(m_dir + "/server.pa")
            << "load-module module-native-protocol-unix socket=" << m_dir << "/native auth-anonymous=1\n"
            << "load-module module-pipe-sink file=" << m_dir << "/sink.raw"
            << " sink_name=capture format=s16le rate=44100 use_system_clock_for_timing=yes"
            << (channels == 2 ? " channels=2 channel_map=front-left,front-right" : " channels=1")
            << " sink_properties=device.description=Capture\n"
            << "set-default-sink capture\n";
        ::setenv("PULSE_SERVER", ("unix:" + m_dir + "/native").c_str(), 1);
        Start();
    }

    bool Start() override
    {
        return Spawn({"pulseaudio", "--daemonize=no", "-n", "-F", m_dir + "/server.pa", "--exit-idle-time=-1",
                      "--system=false", "--disallow-exit=yes", "--use-pid-file=no"},
                     {"PULSE_RUNTIME_PATH=" + m_dir, "PULSE_STATE_PATH=" + m_dir})
               && WaitAnswers();
    }
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
