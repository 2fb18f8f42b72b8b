// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/sleep_inhibitor.h"

#include <unistd.h>

#include <string>
#include <utility>

namespace
{
const char kPortalName[] = "org.freedesktop.portal.Desktop";
const char kPortalPath[] = "/org/freedesktop/portal/desktop";
const char kPortalInhibit[] = "org.freedesktop.portal.Inhibit";
const char kPortalRequest[] = "org.freedesktop.portal.Request";
const char kGnomeName[] = "org.gnome.SessionManager";
const char kGnomePath[] = "/org/gnome/SessionManager";
const char kPowerName[] = "org.freedesktop.PowerManagement";
const char kPowerPath[] = "/org/freedesktop/PowerManagement/Inhibit";
const char kPowerInhibit[] = "org.freedesktop.PowerManagement.Inhibit";
} // namespace

CSleepInhibitor::CSleepInhibitor(std::string busAddress, int timeoutMs)
    : m_address(std::move(busAddress)), m_timeoutMs(timeoutMs)
{}

CSleepInhibitor::~CSleepInhibitor()
{
    Release();
}

InhibitInterface CSleepInhibitor::Hold(const InhibitRequest& request)
{
    if (m_active)
        return m_held;
    m_active = true;
    // Connected once and kept: closing the connection would drop what it holds.
    if (!m_bus)
        m_bus = std::make_unique<CSessionBus>(m_address, m_timeoutMs);
    if (!m_bus->Connected())
        return m_held = InhibitInterface::None;
    if (TryPortal(request))
        return m_held = InhibitInterface::Portal;
    if (TryGnomeSession(request))
        return m_held = InhibitInterface::GnomeSession;
    if (TryPowerManagement(request))
        return m_held = InhibitInterface::PowerManagement;
    return m_held = InhibitInterface::None;
}

bool CSleepInhibitor::TryPortal(const InhibitRequest& request)
{
    // The token names the Request object; unique within this connection.
    const std::string token =
        "susurra" + std::to_string(static_cast<long>(::getpid())) + "_" + std::to_string(++m_tokenCounter);
    const std::optional<BusReply> reply =
        m_bus->Call(kPortalName, kPortalPath, kPortalInhibit, "Inhibit",
                    {BusArgument::String(request.windowHandle), BusArgument::Uint32(kPortalSuspendFlag),
                     BusArgument::Dict({{"handle_token", token}, {"reason", request.reason}})});
    if (!reply || reply->path.empty())
        return false;
    m_requestPath = reply->path;
    return true;
}

bool CSleepInhibitor::TryGnomeSession(const InhibitRequest& request)
{
    const std::optional<BusReply> reply =
        m_bus->Call(kGnomeName, kGnomePath, kGnomeName, "Inhibit",
                    {BusArgument::String(request.appId), BusArgument::Uint32(request.toplevelXid),
                     BusArgument::String(request.reason), BusArgument::Uint32(kGnomeSuspendFlag)});
    // A cookie of 0 is the session manager's refusal.
    if (!reply || reply->number == 0)
        return false;
    m_cookie = reply->number;
    return true;
}

bool CSleepInhibitor::TryPowerManagement(const InhibitRequest& request)
{
    const std::optional<BusReply> reply =
        m_bus->Call(kPowerName, kPowerPath, kPowerInhibit, "Inhibit",
                    {BusArgument::String(request.appId), BusArgument::String(request.reason)});
    if (!reply)
        return false;
    m_cookie = reply->number;
    return true;
}

void CSleepInhibitor::Release()
{
    if (!m_active)
        return;
    m_active = false;
    switch (std::exchange(m_held, InhibitInterface::None))
    {
        case InhibitInterface::None:
            return;
        case InhibitInterface::Portal:
            m_bus->Send(kPortalName, m_requestPath.c_str(), kPortalRequest, "Close", {});
            m_requestPath.clear();
            return;
        case InhibitInterface::GnomeSession:
            m_bus->Send(kGnomeName, kGnomePath, kGnomeName, "Uninhibit", {BusArgument::Uint32(m_cookie)});
            return;
        case InhibitInterface::PowerManagement:
            m_bus->Send(kPowerName, kPowerPath, kPowerInhibit, "UnInhibit", {BusArgument::Uint32(m_cookie)});
            return;
    }
}
