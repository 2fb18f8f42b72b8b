// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "desktop/session_bus.h"

#include <cstdint>
#include <memory>
#include <string>

// The desktop interface through which the computer is kept awake.
enum class InhibitInterface
{
    None,            // no session bus, or no service answered
    Portal,          // org.freedesktop.portal.Inhibit
    GnomeSession,    // org.gnome.SessionManager
    PowerManagement, // org.freedesktop.PowerManagement.Inhibit
};

// Who asks, and why: shown by the desktop in its list of inhibitors.
struct InhibitRequest
{
    std::string appId;        // "org.susurra.Susurra"
    std::string reason;       // "Playing noise"
    std::string windowHandle; // the portal's parent window, "x11:<hex XID>"; empty for none
    uint32_t toplevelXid = 0; // the session manager's window; 0 for none
};

// Keeps the computer from suspending on its own while sound plays. Asks the
// desktop in a fixed order (the portal with its Suspend flag, the GNOME
// session manager with its suspend flag, the freedesktop power management
// service) and keeps the first that grants it. Blocks automatic suspend
// only: never idle (the screen still blanks and locks), never a suspend the
// user asks for.
//
// Hold and Release pair up: a second Hold before Release asks nothing (so a
// failed Hold is not repeated on every check), Release on nothing held does
// nothing. Release and the destructor never wait for an answer. A program
// that ends or crashes loses its bus connection, and the desktop drops the
// inhibitor with it. Each call waits at most `timeoutMs`; without a bus
// nothing is asked at all. One thread.
class CSleepInhibitor
{
public:
    static constexpr uint32_t kPortalSuspendFlag = 4;
    static constexpr uint32_t kGnomeSuspendFlag = 4;

    explicit CSleepInhibitor(std::string busAddress = SessionBusAddress(), int timeoutMs = 1500);
    ~CSleepInhibitor();
    CSleepInhibitor(const CSleepInhibitor&) = delete;
    CSleepInhibitor& operator=(const CSleepInhibitor&) = delete;

    // Takes the inhibitor; returns the interface that granted it.
    InhibitInterface Hold(const InhibitRequest& request);
    void Release();
    // Hold was called and Release not yet.
    bool Active() const { return m_active; }
    InhibitInterface Held() const { return m_held; }

private:
    bool TryPortal(const InhibitRequest& request);
    bool TryGnomeSession(const InhibitRequest& request);
    bool TryPowerManagement(const InhibitRequest& request);

    std::string m_address;
    int m_timeoutMs;
    std::unique_ptr<CSessionBus> m_bus;
    bool m_active = false;
    InhibitInterface m_held = InhibitInterface::None;
    uint32_t m_cookie = 0;       // the session manager's or power management's
    std::string m_requestPath;   // the portal's Request object
    unsigned m_tokenCounter = 0; // makes each portal handle_token unique
};
