// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct DBusConnection;
struct DBusMessage;

// The desktop's three inhibit services as stand-ins on a test's own session
// bus: the portal (a Request object per Inhibit, released by its Close), the
// GNOME session manager and the freedesktop power management service (a
// cookie each, released by Uninhibit / UnInhibit). Each call is recorded as
// one line, in order:
//   portal Inhibit window=<handle> flags=<n> reason=<text>
//   portal Close
//   gnome Inhibit app=<id> xid=<n> reason=<text> flags=<n>
//   gnome Uninhibit
//   power Inhibit app=<id> reason=<text>
//   power UnInhibit
// A client that leaves the bus loses what it held, as on the desktop.
// Serves on a thread of its own from construction to destruction.
class CInhibitServices
{
public:
    enum class Service
    {
        Portal,
        Gnome,
        Power
    };
    // offered: the names taken on the bus; refusing: those of them that
    // answer Inhibit with an error.
    explicit CInhibitServices(std::set<Service> offered, std::set<Service> refusing = {});
    ~CInhibitServices();
    CInhibitServices(const CInhibitServices&) = delete;
    CInhibitServices& operator=(const CInhibitServices&) = delete;

    // Every offered name was taken.
    bool Ready() const { return m_ready; }
    std::vector<std::string> Calls() const;
    // Inhibitors held at this moment, over all three services.
    int Held() const;
    // Waits until Held() is `count`; false when it is not within `timeout`.
    bool WaitForHeld(int count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // Waits until at least `count` calls were recorded.
    bool WaitForCalls(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

    // The bus thread's handler of every message; a DBusHandlerResult.
    int OnMessage(DBusMessage* message);

private:
    void Record(std::string line);
    void Serve();

    std::set<Service> m_refusing;
    DBusConnection* m_connection = nullptr;
    bool m_ready = false;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    // What is held: the portal's request path or the cookie's text, and its owner.
    std::map<std::string, std::string> m_held;
    unsigned m_nextCookie = 1;
    std::thread m_thread;
};
