// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct DBusConnection;

// The address of the user's session bus: DBUS_SESSION_BUS_ADDRESS, else the
// socket "bus" in XDG_RUNTIME_DIR; empty when neither names one. Never
// starts a bus of its own.
std::string SessionBusAddress();

// One argument of a method call: a string, an unsigned 32-bit number, or a
// dictionary of string values (a{sv} whose variants all hold strings).
struct BusArgument
{
    enum class Kind
    {
        String,
        Uint32,
        StringDict
    };
    Kind kind = Kind::String;
    std::string text;
    uint32_t number = 0;
    std::vector<std::pair<std::string, std::string>> entries;

    static BusArgument String(std::string value) { return {Kind::String, std::move(value), 0, {}}; }
    static BusArgument Uint32(uint32_t value) { return {Kind::Uint32, {}, value, {}}; }
    static BusArgument Dict(std::vector<std::pair<std::string, std::string>> values)
    {
        return {Kind::StringDict, {}, 0, std::move(values)};
    }
};

// The first value of a reply: an unsigned number or an object path.
struct BusReply
{
    uint32_t number = 0;
    std::string path;
};

// A private connection to a bus: its own socket, so that what it holds (an
// inhibitor) ends when the connection closes, and nothing of the program's
// other bus users is touched. Single-threaded; calls block for at most the
// timeout given at construction.
class CSessionBus
{
public:
    // Connects to `address`; Connected() says whether it worked. An empty or
    // unreachable address fails at once, without a message.
    CSessionBus(const std::string& address, int timeoutMs);
    ~CSessionBus();
    CSessionBus(const CSessionBus&) = delete;
    CSessionBus& operator=(const CSessionBus&) = delete;

    bool Connected() const { return m_connection != nullptr; }
    // The connection's unique name (":1.42"); empty when not connected.
    std::string UniqueName() const;

    // Calls a method and waits for its reply; nullopt on an error reply, a
    // missing service or the timeout.
    std::optional<BusReply> Call(const char* destination, const char* path, const char* interface, const char* method,
                                 const std::vector<BusArgument>& arguments);
    // Sends a call without waiting for any reply.
    void Send(const char* destination, const char* path, const char* interface, const char* method,
              const std::vector<BusArgument>& arguments);

private:
    DBusConnection* m_connection = nullptr;
    int m_timeoutMs;
};
