// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli match driven as a user's script drives it: the script reads the
// tones' frequencies from standard error and writes answers to standard
// input, on an ALSA "file" device read at the pace of a sound card.

#include <stdexcept>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "testing/paced_capture.h"
#include "testing/temp_folder.h"

extern char** environ;

namespace {

// One run of the command with a pipe each way.
class CMatchSession
{
public:
    CMatchSession(const CTempFolder& dir, const std::string& args)
    {
        int in[2], err[2];
        if (::pipe(in) != 0 || ::pipe(err) != 0)
            throw std::runtime_error("no pipe for the session");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::string command = "exec env SUSURRA_BACKEND=alsa ALSA_CONFIG_PATH='" + dir / "asound.conf' " SUSURRA_CLI
                              " match " + args + " >'" + dir / "out'";
        char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), command.data(), nullptr};
        posix_spawn(&m_pid, "/bin/sh", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(err[1]);
        m_in = ::fdopen(in[1], "w");
        m_err = ::fdopen(err[0], "r");
    }
    ~CMatchSession()
    {
        if (m_in)
            std::fclose(m_in);
        std::fclose(m_err);
        if (m_pid > 0)
            Wait();
    }
    // The next line of standard error; empty at its end.
    std::string ReadErrLine()
    {
        char buffer[512];
        if (!std::fgets(buffer, sizeof buffer, m_err))
            return {};
        return buffer;
    }
    void Say(const std::string& answer)
    {
        std::fputs((answer + "\n").c_str(), m_in);
        std::fflush(m_in);
    }
    void CloseInput()
    {
        std::fclose(m_in);
        m_in = nullptr;
    }
    int Wait()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    FILE* m_in = nullptr;
    FILE* m_err = nullptr;
};

std::vector<double> Sounds(const std::string& line)
{
    std::vector<double> hz;
    std::istringstream in(line.substr(std::string("sounds:").size()));
    for (double f; in >> f;)
        hz.push_back(f);
    return hz;
}

int Nearest(const std::vector<double>& sounds, double target)
{
    int best = 0;
    for (size_t i = 1; i < sounds.size(); ++i)
        if (std::fabs(std::log2(sounds[i] / target)) < std::fabs(std::log2(sounds[best] / target)))
            best = static_cast<int>(i);
    return best + 1;
}

struct CliMatchTest : testing::Test
{
    CliMatchTest() : m_capture(m_dir / "capture.raw")
    {
        WriteFileDeviceConfig(m_dir / "asound.conf", m_dir / "capture.raw");
    }
    std::string Out() const { return ReadAll(m_dir / "out"); }

    CTempFolder m_dir;
    CPacedCapture m_capture;
};

TEST_F(CliMatchTest, script_answering_from_the_sounds_line_gets_the_frequency)
{
    CMatchSession session(m_dir, "--verbose --volume 20");
    const double target = 5200.0;
    int answers = 0;
    bool hinted = false;
    std::string errors;
    for (std::string line = session.ReadErrLine(); !line.empty(); line = session.ReadErrLine()) {
        if (!line.starts_with("sounds: ")) {
            errors += line;
            continue;
        }
        const std::vector<double> sounds = Sounds(line);
        if (sounds.size() == 1) {
            EXPECT_EQ(line, "sounds: 1000\n");
            session.Say("1");
            continue;
        }
        if (!hinted) {
            // A stray answer gets a hint and the same question, without the tones again.
            session.Say("7");
            hinted = true;
        }
        session.Say(std::to_string(Nearest(sounds, target)));
        ++answers;
    }
    EXPECT_EQ(session.Wait(), 0);
    EXPECT_EQ(errors, "");
    EXPECT_LE(answers, 15);
    const std::string out = Out();
    EXPECT_NE(out.find("Please answer 1, 2, r or q.\n"), std::string::npos) << out;
    const size_t at = out.rfind("tinnitus frequency: ");
    ASSERT_NE(at, std::string::npos) << out;
    const int result = std::stoi(out.substr(at + 20));
    EXPECT_LE(std::fabs(12.0 * std::log2(result / target)), 1.0) << result;
    EXPECT_TRUE(out.ends_with(" Hz\n")) << out;
}

TEST_F(CliMatchTest, again_replays_the_same_sounds)
{
    CMatchSession session(m_dir, "--verbose");
    EXPECT_EQ(session.ReadErrLine(), "sounds: 1000\n");
    session.Say("1");
    const std::string first = session.ReadErrLine();
    ASSERT_TRUE(first.starts_with("sounds: ")) << first;
    EXPECT_EQ(Sounds(first).size(), 2u);
    session.Say("r");
    EXPECT_EQ(session.ReadErrLine(), first);
    session.Say("q");
    EXPECT_EQ(session.ReadErrLine(), "susurra-cli: stopped; no result\n");
    EXPECT_EQ(session.Wait(), 1);
    EXPECT_EQ(Out().find("tinnitus frequency"), std::string::npos);
}

TEST_F(CliMatchTest, end_of_input_before_the_end_fails_with_a_message)
{
    CMatchSession session(m_dir, "--verbose");
    EXPECT_EQ(session.ReadErrLine(), "sounds: 1000\n");
    session.Say("1");
    EXPECT_TRUE(session.ReadErrLine().starts_with("sounds: "));
    session.CloseInput();
    EXPECT_EQ(session.ReadErrLine(), "susurra-cli: the answers ended before the match did; no result\n");
    EXPECT_EQ(session.Wait(), 1);
}

TEST_F(CliMatchTest, bad_options_are_refused_before_any_sound)
{
    EXPECT_EQ(RunShell(m_dir, "env SUSURRA_BACKEND=alsa ALSA_CONFIG_PATH='" + m_dir / "asound.conf' " SUSURRA_CLI
                                  " match --lower 5000 --upper 400 </dev/null"),
              2);
    EXPECT_NE(ReadAll(m_dir / "err").find("--lower must lie below --upper"), std::string::npos);
    EXPECT_EQ(m_capture.Samples(), 0u);
}

}  // namespace
