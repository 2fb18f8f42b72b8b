// SPDX-License-Identifier: GPL-3.0-or-later
// The inhibitor on a session bus of its own, against stand-ins of the
// desktop's three services: which one it takes, in which order, with which
// flags, and that Release gives back what Hold took.
#include "desktop/sleep_inhibitor.h"
#include "testing/inhibit_services.h"
#include "testing/param_name.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace
{
using Service = CInhibitServices::Service;
using Lines = std::vector<std::string>;

const InhibitRequest kRequest{"org.susurra.Susurra", "Playing noise", "x11:4c00003", 0x4c00003};
// The stand-ins' lines for kRequest; 79691779 is 0x4c00003.
const std::string kPortal = "portal Inhibit window=x11:4c00003 flags=4 reason=Playing noise";
const std::string kGnome = "gnome Inhibit app=org.susurra.Susurra xid=79691779 reason=Playing noise flags=4";
const std::string kPower = "power Inhibit app=org.susurra.Susurra reason=Playing noise";

struct Desktop
{
    const char* name;
    std::set<Service> offered;
    std::set<Service> refusing;
    InhibitInterface expected;
    Lines atHold;
    Lines atRelease; // after atHold
};

void PrintTo(const Desktop& desktop, std::ostream* out)
{
    *out << desktop.name;
}

class SleepInhibitorTest : public testing::TestWithParam<Desktop>
{};

TEST_P(SleepInhibitorTest, HoldTakesTheFirstServiceThatGrantsAndReleaseGivesItBack)
{
    const Desktop& desktop = GetParam();
    CInhibitServices services(desktop.offered, desktop.refusing);
    ASSERT_TRUE(services.Ready());
    CSleepInhibitor inhibitor;
    EXPECT_EQ(inhibitor.Hold(kRequest), desktop.expected);
    const int held = desktop.expected == InhibitInterface::None ? 0 : 1;
    EXPECT_EQ(services.Calls(), desktop.atHold);
    EXPECT_EQ(services.Held(), held);

    // Held already: nothing is asked again.
    EXPECT_EQ(inhibitor.Hold(kRequest), desktop.expected);
    EXPECT_EQ(services.Calls(), desktop.atHold);

    inhibitor.Release();
    Lines all = desktop.atHold;
    all.insert(all.end(), desktop.atRelease.begin(), desktop.atRelease.end());
    EXPECT_TRUE(services.WaitForCalls(all.size()));
    EXPECT_TRUE(services.WaitForHeld(0));
    EXPECT_EQ(services.Calls(), all);

    // A second round asks afresh.
    EXPECT_EQ(inhibitor.Hold(kRequest), desktop.expected);
    EXPECT_EQ(services.Held(), held);
}

INSTANTIATE_TEST_SUITE_P(Desktops, SleepInhibitorTest,
                         testing::Values(Desktop{"PortalFirst",
                                                 {Service::Portal, Service::Gnome, Service::Power},
                                                 {},
                                                 InhibitInterface::Portal,
                                                 {kPortal},
                                                 {"portal Close"}},
                                         Desktop{"SessionManagerWhenThePortalRefuses",
                                                 {Service::Portal, Service::Gnome, Service::Power},
                                                 {Service::Portal},
                                                 InhibitInterface::GnomeSession,
                                                 {kPortal, kGnome},
                                                 {"gnome Uninhibit"}},
                                         Desktop{"SessionManagerWithoutPortal",
                                                 {Service::Gnome, Service::Power},
                                                 {},
                                                 InhibitInterface::GnomeSession,
                                                 {kGnome},
                                                 {"gnome Uninhibit"}},
                                         Desktop{"PowerManagementAlone",
                                                 {Service::Power},
                                                 {},
                                                 InhibitInterface::PowerManagement,
                                                 {kPower},
                                                 {"power UnInhibit"}},
                                         Desktop{"PowerManagementWhenTheOthersRefuse",
                                                 {Service::Portal, Service::Gnome, Service::Power},
                                                 {Service::Portal, Service::Gnome},
                                                 InhibitInterface::PowerManagement,
                                                 {kPortal, kGnome, kPower},
                                                 {"power UnInhibit"}},
                                         Desktop{"NoServiceAtAll", {}, {}, InhibitInterface::None, {}, {}},
                                         Desktop{"AllRefuse",
                                                 {Service::Portal, Service::Gnome, Service::Power},
                                                 {Service::Portal, Service::Gnome, Service::Power},
                                                 InhibitInterface::None,
                                                 {kPortal, kGnome, kPower},
                                                 {}}),
                         RowName());

TEST(SleepInhibitorWithoutBus, AsksNothingAndReturnsAtOnce)
{
    for (const char* address : {"", "unix:path=/nonexistent/susurra-test-bus"})
    {
        const auto start = std::chrono::steady_clock::now();
        CSleepInhibitor inhibitor(address);
        EXPECT_EQ(inhibitor.Hold(kRequest), InhibitInterface::None) << address;
        EXPECT_TRUE(inhibitor.Active());
        inhibitor.Release();
        EXPECT_FALSE(inhibitor.Active());
        // Far below one call's timeout: no call was waited for.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)) << address;
    }
}

TEST(SleepInhibitorGoing, TheDestructorReleases)
{
    CInhibitServices services({Service::Gnome});
    ASSERT_TRUE(services.Ready());
    {
        CSleepInhibitor inhibitor;
        EXPECT_EQ(inhibitor.Hold(kRequest), InhibitInterface::GnomeSession);
        EXPECT_EQ(services.Held(), 1);
    }
    EXPECT_TRUE(services.WaitForHeld(0));
    EXPECT_EQ(services.Calls(), (Lines{kGnome, "gnome Uninhibit"}));
}

} // namespace
