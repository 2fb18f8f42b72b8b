// susurra-cli devices and play, run as a user runs them, on an ALSA "file"
// device whose pipe this test reads at the pace of a sound card.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "playback/paced_capture.h"

extern char** environ;

namespace {

struct Folder
{
    Folder()
    {
        char dir[] = "/tmp/susurra-cli-XXXXXX";
        path = ::mkdtemp(dir);
    }
    ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string path;
};

std::string Slurp(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Starts susurra-cli with ALSA reading `conf`; stdout and stderr go to files.
class CCli
{
public:
    CCli(const Folder& folder, const std::string& conf, std::vector<std::string> args) : m_folder(folder)
    {
        args.insert(args.begin(), SUSURRA_CLI);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::string alsa = "ALSA_CONFIG_PATH=" + conf;
        std::vector<char*> env{alsa.data()};
        for (char** e = environ; *e; ++e)
            if (std::string_view(*e).substr(0, 17) != "ALSA_CONFIG_PATH=")
                env.push_back(*e);
        env.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (folder.path + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (folder.path + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn(&m_pid, SUSURRA_CLI, &actions, nullptr, argv.data(), env.data());
        posix_spawn_file_actions_destroy(&actions);
    }
    int Wait()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Signal(int signal) { ::kill(m_pid, signal); }
    std::string Out() const { return Slurp(m_folder.path + "/out"); }
    std::string Err() const { return Slurp(m_folder.path + "/err"); }

private:
    const Folder& m_folder;
    pid_t m_pid = 0;
};

TEST(CliPlay, WithoutUsableDevicesBothCommandsSaySoAndFail)
{
    Folder folder;
    const std::string conf = folder.path + "/asound.conf";
    std::ofstream(conf) << "</usr/share/alsa/alsa.conf>\n";  // no sound card, nothing else
    CCli devices(folder, conf, {"devices"});
    EXPECT_EQ(devices.Wait(), 1);
    EXPECT_EQ(devices.Out(), "");
    EXPECT_EQ(devices.Err(), "susurra-cli: No audio mixer device found\n");
    CCli play(folder, conf, {"play", "--duration", "00:00:01"});
    EXPECT_EQ(play.Wait(), 1);
    EXPECT_EQ(play.Err(), "susurra-cli: No audio mixer device found\n");
}

TEST(CliPlay, PlaysForTheDurationOrUntilInterruptedAndStopsCleanly)
{
    Folder folder;
    const std::string conf = folder.path + "/asound.conf";
    const std::string pipe = folder.path + "/capture.raw";
    CPacedCapture capture(pipe);
    WriteFileDeviceConfig(conf, pipe);

    CCli devices(folder, conf, {"devices"});
    EXPECT_EQ(devices.Wait(), 0);
    EXPECT_EQ(devices.Out(), "  0  default\n");

    CCli bad(folder, conf, {"play", "--device", "3"});
    EXPECT_EQ(bad.Wait(), 2);
    EXPECT_NE(bad.Err().find("no usable sound device '3'"), std::string::npos);

    CCli play(folder, conf,
              {"play", "--type", "tinnitus", "--tinnitus-freq", "1000", "--surf-strength", "0", "--volume", "461",
               "--device", "default", "--duration", "00:00:01"});
    EXPECT_EQ(play.Wait(), 0);
    EXPECT_EQ(play.Err(), "susurra-cli: generating noise signal\nsusurra-cli: playing\nsusurra-cli: nothing to do\n");
    capture.WaitQuiet();
    std::vector<int16_t> got = capture.Copy();
    // The whole tone at full scale: peaks of 2999 (sin never reaches 1 exactly here).
    EXPECT_GT(got.size(), 22050u);
    const auto [low, high] = std::minmax_element(got.begin(), got.end());
    EXPECT_EQ(*high, 2999);
    EXPECT_EQ(*low, -2999);

    const std::size_t before = capture.Samples();
    CCli endless(folder, conf, {"play", "--type", "white"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (capture.Samples() < before + 22050 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    endless.Signal(SIGINT);
    EXPECT_EQ(endless.Wait(), 0);
    EXPECT_EQ(endless.Err(), "susurra-cli: generating noise signal\nsusurra-cli: playing\nsusurra-cli: nothing to do\n");
}

}  // namespace
