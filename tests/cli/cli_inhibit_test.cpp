// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-cli play keeps the computer awake while it plays: on a session bus
// of the test's own, against stand-ins of the desktop's inhibit services.

#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/cli_fixture.h"
#include "testing/inhibit_services.h"
#include "testing/paced_capture.h"
#include "testing/param_name.h"

namespace
{
using Service = CInhibitServices::Service;
using Lines = std::vector<std::string>;

const std::set<Service> kAll = {Service::Portal, Service::Gnome, Service::Power};
const std::string kPortal = "portal Inhibit window= flags=4 reason=Playing noise";
const std::string kGnome = "gnome Inhibit app=susurra-cli xid=0 reason=Playing noise flags=4";
const std::string kPower = "power Inhibit app=susurra-cli reason=Playing noise";
// No session bus at all: neither its address nor the runtime folder's socket.
const std::string kNoBus = "env -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR ";
// A reader that leaves after about a second of sound.
const char kFailingDevice[] = "</usr/share/alsa/alsa.conf>\n"
                              "pcm.!default { type file slave.pcm \"null\" format \"raw\" "
                              "file \"|head -c 200000 >/dev/null\" }\n";

struct PlayRun
{
    const char* name;
    std::set<Service> offered;
    std::string prefix; // before the command: its environment
    std::string options;
    bool failingDevice;
    int status;
    std::string err;
    Lines calls; // every call, from Play to the end
};

void PrintTo(const PlayRun& run, std::ostream* out)
{
    *out << run.name;
}

struct CliInhibitTest : CCliTest, testing::WithParamInterface<PlayRun>
{
    CliInhibitTest() { WriteFileDeviceConfig(m_dir / "asound.conf", m_dir / "capture.raw"); }

    CPacedCapture m_capture{m_dir / "capture.raw"};
};

TEST_P(CliInhibitTest, PlayHoldsTheFirstServiceThatGrantsUntilPlaybackEnds)
{
    const PlayRun& run = GetParam();
    CInhibitServices services(run.offered);
    ASSERT_TRUE(services.Ready());
    if (run.failingDevice)
        std::ofstream(m_dir / "asound.conf") << kFailingDevice;
    EXPECT_EQ(RunShell(m_dir, run.prefix + Command("play --surf-strength 0 --duration 00:00:01 " + run.options)),
              run.status);
    EXPECT_EQ(Err(), run.err);
    EXPECT_TRUE(services.WaitForCalls(run.calls.size()));
    EXPECT_EQ(services.Calls(), run.calls);
    EXPECT_EQ(services.Held(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, CliInhibitTest,
    testing::Values(
        PlayRun{"portal", kAll, "", "", false, 0, kPlayStatus, {kPortal, "portal Close"}},
        PlayRun{"session manager",
                {Service::Gnome, Service::Power},
                "",
                "",
                false,
                0,
                kPlayStatus,
                {kGnome, "gnome Uninhibit"}},
        PlayRun{"power management", {Service::Power}, "", "", false, 0, kPlayStatus, {kPower, "power UnInhibit"}},
        PlayRun{"no inhibit opts out", kAll, "", "--no-inhibit", false, 0, kPlayStatus, {}},
        PlayRun{"no service plays as before", {}, "", "", false, 0, kPlayStatus, {}},
        PlayRun{"no bus plays as before", kAll, kNoBus, "", false, 0, kPlayStatus, {}},
        PlayRun{"a lost device releases",
                {Service::Gnome},
                "",
                "",
                true,
                1,
                kPlayStatus + "susurra-cli: the sound device failed; playback stopped\n",
                {kGnome, "gnome Uninhibit"}}),
    RowName());

// Held while the sound plays; Ctrl-C gives it back, and so does a crash,
// through the bus that drops a vanished client's inhibitors.
using CliInhibitHold = CCliTest;

TEST_F(CliInhibitHold, HeldWhilePlayingAndGoneAfterCtrlCOrACrash)
{
    WriteFileDeviceConfig(m_dir / "asound.conf", m_dir / "capture.raw");
    CPacedCapture capture(m_dir / "capture.raw");
    CInhibitServices services({Service::Gnome});
    ASSERT_TRUE(services.Ready());
    for (const int signal : {SIGINT, SIGKILL})
    {
        FILE* shell = ::popen(("echo $$; exec " + Command("play") + InFolder(" 2>'{dir}err'")).c_str(), "r");
        pid_t pid = 0;
        ASSERT_EQ(std::fscanf(shell, "%d", &pid), 1);
        EXPECT_TRUE(services.WaitForHeld(1, std::chrono::seconds(30))) << signal;
        ::kill(pid, signal);
        const int status = ::pclose(shell);
        EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status), signal == SIGINT ? 0 : SIGKILL);
        EXPECT_TRUE(services.WaitForHeld(0)) << signal;
    }
    // Ctrl-C released it; the killed program could not.
    EXPECT_EQ(services.Calls(), (Lines{kGnome, "gnome Uninhibit", kGnome}));
}

} // namespace
