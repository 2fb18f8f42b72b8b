// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/session_bus.h"

#include <dbus/dbus.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

std::string SessionBusAddress()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != '\0')
        return address;
    // The per-user bus of a systemd session; libdbus's own default would
    // otherwise try to autolaunch a bus, which costs a process and time.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
    {
        const std::string socketPath = std::string(runtime) + "/bus";
        struct stat status
        {};
        if (::stat(socketPath.c_str(), &status) == 0 && S_ISSOCK(status.st_mode))
            return "unix:path=" + socketPath;
    }
    return {};
}

namespace
{
struct MessageDeleter
{
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using MessagePtr = std::unique_ptr<DBusMessage, MessageDeleter>;

class CErrorScope
{
public:
    CErrorScope() { dbus_error_init(&m_error); }
    ~CErrorScope() { dbus_error_free(&m_error); }
    CErrorScope(const CErrorScope&) = delete;
    CErrorScope& operator=(const CErrorScope&) = delete;
    DBusError* Get() { return &m_error; }

private:
    DBusError m_error;
};

bool AppendString(DBusMessageIter& iter, const std::string& text, int type = DBUS_TYPE_STRING)
{
    // libdbus aborts the program on text that is not UTF-8: such text is refused here.
    if (!dbus_validate_utf8(text.c_str(), nullptr))
        return false;
    const char* value = text.c_str();
    return dbus_message_iter_append_basic(&iter, type, &value) != 0;
}

bool AppendDict(DBusMessageIter& iter, const std::vector<std::pair<std::string, std::string>>& entries)
{
    DBusMessageIter dict;
    if (!dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "{sv}", &dict))
        return false;
    bool ok = true;
    for (const auto& [key, value] : entries)
    {
        DBusMessageIter entry;
        DBusMessageIter variant;
        if (!dbus_message_iter_open_container(&dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry))
        {
            ok = false;
            break;
        }
        ok = AppendString(entry, key) && dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "s", &variant);
        if (ok)
        {
            ok = AppendString(variant, value);
            ok = dbus_message_iter_close_container(&entry, &variant) && ok;
        }
        ok = dbus_message_iter_close_container(&dict, &entry) && ok;
        if (!ok)
            break;
    }
    return dbus_message_iter_close_container(&iter, &dict) && ok;
}

MessagePtr BuildCall(const char* destination, const char* path, const char* interface, const char* method,
                     const std::vector<BusArgument>& arguments)
{
    MessagePtr message(dbus_message_new_method_call(destination, path, interface, method));
    if (!message)
        return nullptr;
    DBusMessageIter iter;
    dbus_message_iter_init_append(message.get(), &iter);
    for (const BusArgument& argument : arguments)
    {
        bool ok = false;
        switch (argument.kind)
        {
            case BusArgument::Kind::String:
                ok = AppendString(iter, argument.text);
                break;
            case BusArgument::Kind::Uint32:
                ok = dbus_message_iter_append_basic(&iter, DBUS_TYPE_UINT32, &argument.number) != 0;
                break;
            case BusArgument::Kind::StringDict:
                ok = AppendDict(iter, argument.entries);
                break;
        }
        if (!ok)
            return nullptr;
    }
    return message;
}
} // namespace

CSessionBus::CSessionBus(const std::string& address, int timeoutMs) : m_timeoutMs(timeoutMs)
{
    if (address.empty())
        return;
    CErrorScope error;
    DBusConnection* connection = dbus_connection_open_private(address.c_str(), error.Get());
    if (connection == nullptr)
        return;
    // A bus that goes away must not end the program (libdbus's default).
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    if (!dbus_bus_register(connection, error.Get()))
    {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        return;
    }
    m_connection = connection;
}

CSessionBus::~CSessionBus()
{
    if (m_connection == nullptr)
        return;
    dbus_connection_flush(m_connection);
    dbus_connection_close(m_connection);
    dbus_connection_unref(m_connection);
}

std::string CSessionBus::UniqueName() const
{
    if (m_connection == nullptr)
        return {};
    const char* name = dbus_bus_get_unique_name(m_connection);
    return name != nullptr ? name : "";
}

std::optional<BusReply> CSessionBus::Call(const char* destination, const char* path, const char* interface,
                                          const char* method, const std::vector<BusArgument>& arguments)
{
    if (m_connection == nullptr)
        return std::nullopt;
    const MessagePtr call = BuildCall(destination, path, interface, method, arguments);
    if (!call)
        return std::nullopt;
    CErrorScope error;
    const MessagePtr reply(
        dbus_connection_send_with_reply_and_block(m_connection, call.get(), m_timeoutMs, error.Get()));
    if (!reply)
        return std::nullopt;
    DBusMessageIter iter;
    BusReply result;
    if (!dbus_message_iter_init(reply.get(), &iter))
        return result;
    switch (dbus_message_iter_get_arg_type(&iter))
    {
        case DBUS_TYPE_UINT32:
            dbus_message_iter_get_basic(&iter, &result.number);
            break;
        case DBUS_TYPE_OBJECT_PATH:
        case DBUS_TYPE_STRING:
        {
            const char* text = nullptr;
            dbus_message_iter_get_basic(&iter, &text);
            result.path = text != nullptr ? text : "";
            break;
        }
        default:
            break;
    }
    return result;
}

void CSessionBus::Send(const char* destination, const char* path, const char* interface, const char* method,
                       const std::vector<BusArgument>& arguments)
{
    if (m_connection == nullptr)
        return;
    const MessagePtr call = BuildCall(destination, path, interface, method, arguments);
    if (!call)
        return;
    dbus_message_set_no_reply(call.get(), TRUE);
    dbus_connection_send(m_connection, call.get(), nullptr);
    dbus_connection_flush(m_connection);
}
