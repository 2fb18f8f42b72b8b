// SPDX-License-Identifier: GPL-3.0-or-later
// The main window keeps the computer awake from Play until playback ends,
// however it ends: on a session bus of the test's own, against stand-ins of
// the desktop's inhibit services.
#include "testing/inhibit_services.h"
#include "tests/app/main_dlg_window_fixture.h"

#include <QSettings>

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace
{
using Service = CInhibitServices::Service;
using Lines = std::vector<std::string>;

// The window runs offscreen here: no window handle to give.
const std::string kPortal = "portal Inhibit window= flags=4 reason=Playing noise";
const std::string kGnome = "gnome Inhibit app=org.susurra.Susurra xid=0 reason=Playing noise flags=4";

class KeepAwake : public MainWindowTest
{
protected:
    // Hands back every queued half; the window's check then sees the end.
    void PlayOut(CMainDlg& d)
    {
        while (m_waveOut.CompleteNext())
        {}
        d.OnCheckDevice();
    }
    KeepAwake() { m_services.emplace(std::set<Service>{Service::Portal, Service::Gnome, Service::Power}); }
    std::optional<CInhibitServices> m_services;
};

struct Ending
{
    const char* name;
    std::function<void(KeepAwake&, CMainDlg&)> end;
};

class KeepAwakeUntil : public KeepAwake, public testing::WithParamInterface<Ending>
{
public:
    void PlayOutForRow(CMainDlg& d) { PlayOut(d); }
};

TEST_P(KeepAwakeUntil, PlayTakesThePortalsInhibitorAndTheEndOfPlaybackClosesIt)
{
    ASSERT_TRUE(m_services->Ready());
    CMainDlg& d = Start();
    d.SetSleepMinuteForTest(std::chrono::milliseconds(1));
    Type(d, {{IDC_SLEEP_STOP_AFTER, "15 min"}});
    EXPECT_TRUE(Button(d, IDC_KEEP_AWAKE)->isChecked()) << "on by default";
    d.OnPlay();
    ASSERT_TRUE(d.IsPlaying());
    EXPECT_EQ(d.KeepingAwakeWith(), InhibitInterface::Portal);
    EXPECT_EQ(m_services->Held(), 1);
    EXPECT_EQ(m_services->Calls(), Lines{kPortal});
    // Checks while playing ask nothing more.
    d.OnCheckDevice();
    d.OnPlay();
    EXPECT_EQ(m_services->Calls(), Lines{kPortal});

    GetParam().end(static_cast<KeepAwake&>(*this), d);
    EXPECT_TRUE(m_services->WaitForHeld(0));
    EXPECT_TRUE(m_services->WaitForCalls(2));
    EXPECT_EQ(m_services->Calls(), (Lines{kPortal, "portal Close"}));
}

INSTANTIATE_TEST_SUITE_P(Endings, KeepAwakeUntil,
                         testing::Values(Ending{"Stop", [](KeepAwake&, CMainDlg& d) { d.OnStop(); }},
                                         Ending{"SleepTimerEnd",
                                                [](KeepAwake& test, CMainDlg& d) {
                                                    static_cast<KeepAwakeUntil&>(test).PlayOutForRow(d);
                                                    EXPECT_FALSE(d.IsPlaying());
                                                }},
                                         Ending{"LostDevice",
                                                [](KeepAwake& test, CMainDlg& d) {
                                                    static_cast<KeepAwakeUntil&>(test).m_waveOut.BreakDevice();
                                                    d.OnCheckDevice();
                                                    EXPECT_FALSE(d.IsPlaying());
                                                }},
                                         Ending{"Quit",
                                                [](KeepAwake& test, CMainDlg& d) {
                                                    d.LeaveQuietly();
                                                    EXPECT_EQ(d.EndCode(), IDOK);
                                                    static_cast<KeepAwakeUntil&>(test).m_dialog.reset();
                                                }}),
                         RowName());

TEST_F(KeepAwake, TheCheckBoxActsAtOnceWhilePlayingAndIsKeptOnlyWhenOff)
{
    ASSERT_TRUE(m_services->Ready());
    CMainDlg& d = Start();
    Button(d, IDC_KEEP_AWAKE)->click(); // off
    d.OnPlay();
    ASSERT_TRUE(d.IsPlaying());
    EXPECT_EQ(m_services->Calls(), Lines{});
    Button(d, IDC_KEEP_AWAKE)->click(); // on while playing
    EXPECT_EQ(m_services->Held(), 1);
    Button(d, IDC_KEEP_AWAKE)->click(); // off again
    EXPECT_TRUE(m_services->WaitForHeld(0));
    EXPECT_TRUE(m_services->WaitForCalls(2));
    EXPECT_EQ(m_services->Calls(), (Lines{kPortal, "portal Close"}));

    // Off is kept, and the box comes back off.
    d.OnExit();
    EXPECT_EQ(QSettings(PathIn("preferences.ini"), QSettings::IniFormat).value("Desktop/KeepAwake").toString(), "0");
    CMainDlg& again = Start();
    EXPECT_FALSE(Button(again, IDC_KEEP_AWAKE)->isChecked());
    // On again: the key goes, leaving the file as one that never had it.
    Button(again, IDC_KEEP_AWAKE)->click();
    Button(again, IDC_GLIDE)->click();
    again.OnExit();
    EXPECT_EQ(Bytes("preferences.ini"), "[GentleSound]\nFadeInSeconds=0\nGlide=1\n\n"
                                        "[SleepTimer]\nFadeOutMinutes=10\nStopAfterMinutes=0\nThenQuit=0\n");
}

TEST_F(KeepAwake, WithoutThePortalTheSessionManagerIsAsked)
{
    m_services.reset();
    m_services.emplace(std::set<Service>{Service::Gnome, Service::Power});
    ASSERT_TRUE(m_services->Ready());
    CMainDlg& d = Start();
    d.OnPlay();
    EXPECT_EQ(d.KeepingAwakeWith(), InhibitInterface::GnomeSession);
    d.OnStop();
    EXPECT_TRUE(m_services->WaitForCalls(2));
    EXPECT_EQ(m_services->Calls(), (Lines{kGnome, "gnome Uninhibit"}));
}

} // namespace
