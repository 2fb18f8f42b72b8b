// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/inhibit_services.h"

#include "desktop/session_bus.h"

#include <dbus/dbus.h>

#include <algorithm>

namespace
{
const char* ServiceName(CInhibitServices::Service service)
{
    switch (service)
    {
        case CInhibitServices::Service::Portal:
            return "org.freedesktop.portal.Desktop";
        case CInhibitServices::Service::Gnome:
            return "org.gnome.SessionManager";
        case CInhibitServices::Service::Power:
            return "org.freedesktop.PowerManagement";
    }
    return "";
}

bool Is(DBusMessage* message, const char* path, const char* interface, const char* member)
{
    return dbus_message_is_method_call(message, interface, member) && dbus_message_has_path(message, path);
}

void Reply(DBusConnection* connection, DBusMessage* message, int type = DBUS_TYPE_INVALID, const void* value = nullptr)
{
    DBusMessage* reply = dbus_message_new_method_return(message);
    if (type != DBUS_TYPE_INVALID)
        dbus_message_append_args(reply, type, value, DBUS_TYPE_INVALID);
    dbus_connection_send(connection, reply, nullptr);
    dbus_message_unref(reply);
}

void Refuse(DBusConnection* connection, DBusMessage* message, const char* why)
{
    DBusMessage* reply = dbus_message_new_error(message, DBUS_ERROR_ACCESS_DENIED, why);
    dbus_connection_send(connection, reply, nullptr);
    dbus_message_unref(reply);
}

DBusHandlerResult Filter(DBusConnection*, DBusMessage* message, void* self)
{
    return static_cast<DBusHandlerResult>(static_cast<CInhibitServices*>(self)->OnMessage(message));
}

// The portal's a{sv}: the string values by key.
std::map<std::string, std::string> ReadOptions(DBusMessageIter& iter)
{
    std::map<std::string, std::string> options;
    if (dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_ARRAY)
        return options;
    DBusMessageIter dict;
    dbus_message_iter_recurse(&iter, &dict);
    while (dbus_message_iter_get_arg_type(&dict) == DBUS_TYPE_DICT_ENTRY)
    {
        DBusMessageIter entry;
        DBusMessageIter variant;
        dbus_message_iter_recurse(&dict, &entry);
        const char* key = nullptr;
        dbus_message_iter_get_basic(&entry, &key);
        dbus_message_iter_next(&entry);
        dbus_message_iter_recurse(&entry, &variant);
        if (dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_STRING)
        {
            const char* value = nullptr;
            dbus_message_iter_get_basic(&variant, &value);
            options[key] = value;
        }
        dbus_message_iter_next(&dict);
    }
    return options;
}
} // namespace

CInhibitServices::CInhibitServices(std::set<Service> offered, std::set<Service> refusing)
    : m_refusing(std::move(refusing))
{
    const std::string address = SessionBusAddress();
    DBusError error;
    dbus_error_init(&error);
    m_connection = address.empty() ? nullptr : dbus_connection_open_private(address.c_str(), &error);
    if (m_connection == nullptr || !dbus_bus_register(m_connection, &error))
    {
        dbus_error_free(&error);
        return;
    }
    dbus_connection_set_exit_on_disconnect(m_connection, FALSE);
    m_ready = true;
    for (const Service service : offered)
    {
        const int result =
            dbus_bus_request_name(m_connection, ServiceName(service), DBUS_NAME_FLAG_DO_NOT_QUEUE, &error);
        m_ready = m_ready && result == DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER;
        dbus_error_free(&error);
    }
    dbus_bus_add_match(m_connection,
                       "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                       "member='NameOwnerChanged'",
                       nullptr);
    dbus_connection_add_filter(m_connection, &Filter, this, nullptr);
    m_thread = std::thread([this] { Serve(); });
}

CInhibitServices::~CInhibitServices()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_connection != nullptr)
    {
        dbus_connection_close(m_connection);
        dbus_connection_unref(m_connection);
    }
}

void CInhibitServices::Serve()
{
    while (!m_stop && dbus_connection_read_write_dispatch(m_connection, 20))
    {}
}

void CInhibitServices::Record(std::string line)
{
    const std::lock_guard lock(m_mutex);
    m_calls.push_back(std::move(line));
}

int CInhibitServices::OnMessage(DBusMessage* message)
{
    const std::string sender = dbus_message_get_sender(message) != nullptr ? dbus_message_get_sender(message) : "";
    DBusMessageIter iter;
    dbus_message_iter_init(message, &iter);
    if (dbus_message_is_signal(message, "org.freedesktop.DBus", "NameOwnerChanged"))
    {
        const char *name = nullptr, *oldOwner = nullptr, *newOwner = nullptr;
        dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_STRING, &oldOwner, DBUS_TYPE_STRING,
                              &newOwner, DBUS_TYPE_INVALID);
        if (newOwner != nullptr && *newOwner == '\0')
        {
            const std::lock_guard lock(m_mutex);
            std::erase_if(m_held, [&](const auto& hold) { return hold.second == oldOwner; });
        }
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    if (Is(message, "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Inhibit", "Inhibit"))
    {
        const char* window = "";
        dbus_uint32_t flags = 0;
        dbus_message_iter_get_basic(&iter, &window);
        dbus_message_iter_next(&iter);
        dbus_message_iter_get_basic(&iter, &flags);
        dbus_message_iter_next(&iter);
        std::map<std::string, std::string> options = ReadOptions(iter);
        Record("portal Inhibit window=" + std::string(window) + " flags=" + std::to_string(flags)
               + " reason=" + options["reason"]);
        if (m_refusing.contains(Service::Portal))
        {
            Refuse(m_connection, message, "no inhibit backend");
            return DBUS_HANDLER_RESULT_HANDLED;
        }
        // The portal's documented handle: the sender's name without its
        // colon, dots made underscores, then the caller's token.
        std::string client = sender.substr(1);
        std::replace(client.begin(), client.end(), '.', '_');
        const std::string path = "/org/freedesktop/portal/desktop/request/" + client + "/" + options["handle_token"];
        {
            const std::lock_guard lock(m_mutex);
            m_held[path] = sender;
        }
        const char* handle = path.c_str();
        Reply(m_connection, message, DBUS_TYPE_OBJECT_PATH, &handle);
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    if (dbus_message_is_method_call(message, "org.freedesktop.portal.Request", "Close"))
    {
        const std::string path = dbus_message_get_path(message);
        Record("portal Close");
        const std::lock_guard lock(m_mutex);
        if (m_held.erase(path) == 0)
            return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
        Reply(m_connection, message);
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    const bool gnome = Is(message, "/org/gnome/SessionManager", "org.gnome.SessionManager", "Inhibit");
    const bool power =
        Is(message, "/org/freedesktop/PowerManagement/Inhibit", "org.freedesktop.PowerManagement.Inhibit", "Inhibit");
    if (gnome || power)
    {
        const char *app = "", *reason = "";
        dbus_uint32_t xid = 0, flags = 0;
        if (gnome)
        {
            dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &app, DBUS_TYPE_UINT32, &xid, DBUS_TYPE_STRING,
                                  &reason, DBUS_TYPE_UINT32, &flags, DBUS_TYPE_INVALID);
            Record("gnome Inhibit app=" + std::string(app) + " xid=" + std::to_string(xid)
                   + " reason=" + std::string(reason) + " flags=" + std::to_string(flags));
        }
        else
        {
            dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &app, DBUS_TYPE_STRING, &reason,
                                  DBUS_TYPE_INVALID);
            Record("power Inhibit app=" + std::string(app) + " reason=" + std::string(reason));
        }
        if (m_refusing.contains(gnome ? Service::Gnome : Service::Power))
        {
            Refuse(m_connection, message, "inhibiting refused");
            return DBUS_HANDLER_RESULT_HANDLED;
        }
        dbus_uint32_t cookie = 0;
        {
            const std::lock_guard lock(m_mutex);
            cookie = m_nextCookie++;
            m_held[(gnome ? "gnome " : "power ") + std::to_string(cookie)] = sender;
        }
        Reply(m_connection, message, DBUS_TYPE_UINT32, &cookie);
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    const bool gnomeRelease = Is(message, "/org/gnome/SessionManager", "org.gnome.SessionManager", "Uninhibit");
    const bool powerRelease =
        Is(message, "/org/freedesktop/PowerManagement/Inhibit", "org.freedesktop.PowerManagement.Inhibit", "UnInhibit");
    if (gnomeRelease || powerRelease)
    {
        dbus_uint32_t cookie = 0;
        dbus_message_get_args(message, nullptr, DBUS_TYPE_UINT32, &cookie, DBUS_TYPE_INVALID);
        Record(gnomeRelease ? "gnome Uninhibit" : "power UnInhibit");
        const std::lock_guard lock(m_mutex);
        // Only the owner's own cookie counts, as on the desktop.
        const auto hold = m_held.find((gnomeRelease ? "gnome " : "power ") + std::to_string(cookie));
        if (hold != m_held.end() && hold->second == sender)
            m_held.erase(hold);
        Reply(m_connection, message);
        return DBUS_HANDLER_RESULT_HANDLED;
    }
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

std::vector<std::string> CInhibitServices::Calls() const
{
    const std::lock_guard lock(m_mutex);
    return m_calls;
}

int CInhibitServices::Held() const
{
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_held.size());
}

bool CInhibitServices::WaitForHeld(int count, std::chrono::milliseconds timeout) const
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (Held() != count)
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool CInhibitServices::WaitForCalls(std::size_t count, std::chrono::milliseconds timeout) const
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (Calls().size() < count)
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
