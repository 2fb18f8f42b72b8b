// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace
{

constexpr int kAnswerMs = 2000;
// A request is one short line; anything longer is not ours.
constexpr int kMaxRequestBytes = 64;
const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kDone = QByteArrayLiteral("ok\n");

std::optional<sockaddr_un> SocketAddress(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= static_cast<int>(sizeof address.sun_path))
        return std::nullopt;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    return address;
}

// A peer that has gone must not end this program with SIGPIPE.
bool SendAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    size_t left = static_cast<size_t>(bytes.size());
    while (left > 0)
    {
        const ssize_t sent = ::send(fd, data, left, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        left -= static_cast<size_t>(sent);
    }
    return true;
}

bool WaitFor(int fd, short events)
{
    pollfd entry{fd, events, 0};
    int ready = 0;
    do
        ready = ::poll(&entry, 1, kAnswerMs);
    while (ready < 0 && errno == EINTR);
    return ready > 0;
}

} // namespace

CSingleInstance::CSingleInstance(QString folder)
    : m_folder(folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : std::move(folder))
{}

CSingleInstance::~CSingleInstance()
{
    for (auto& [fd, client] : m_clients)
        ::close(fd);
    if (m_listenFd >= 0)
    {
        ::close(m_listenFd);
        ::unlink(QFile::encodeName(SocketPath()).constData());
    }
}

bool CSingleInstance::HandOverToRunning()
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return false;
    QLockFile lock(m_folder + QStringLiteral("/org.susurra.Susurra.instance.lock"));
    // A lock whose owner died is taken over; a live one is waited for.
    if (!lock.tryLock(kAnswerMs * 2))
        return false;
    if (AskRunning())
        return true;
    // Nobody answers: whatever is there was left by a crash.
    Listen();
    return false;
}

bool CSingleInstance::AskRunning() const
{
    const std::optional<sockaddr_un> address = SocketAddress(SocketPath());
    if (!address)
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0;
    if (connected && SendAll(fd, kRaise))
    {
        // A window busy with long work answers later; it has the request.
        char answer[8];
        if (WaitFor(fd, POLLIN))
            (void)!::read(fd, answer, sizeof answer);
    }
    ::close(fd);
    return connected;
}

void CSingleInstance::Listen()
{
    const std::optional<sockaddr_un> address = SocketAddress(SocketPath());
    if (!address)
        return;
    ::unlink(address->sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    // The socket is the user's own.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0
        || ::chmod(address->sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 8) != 0)
    {
        ::close(fd);
        return;
    }
    m_listenFd = fd;
    m_listening = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_listening.get(), &QSocketNotifier::activated, this, &CSingleInstance::OnNewConnection);
}

void CSingleInstance::OnNewConnection()
{
    int fd = -1;
    while ((fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0)
    {
        Client& client = m_clients[fd];
        client.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(client.notifier.get(), &QSocketNotifier::activated, this, [this, fd] { OnClientReadable(fd); });
    }
}

void CSingleInstance::OnClientReadable(int fd)
{
    const auto found = m_clients.find(fd);
    if (found == m_clients.end())
        return;
    Client& client = found->second;
    char buffer[kMaxRequestBytes];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (count > 0)
        client.received.append(buffer, static_cast<int>(count));
    if (client.received.contains(kRaise))
    {
        emit RaiseRequested();
        (void)SendAll(fd, kDone);
    }
    else if (count > 0 && client.received.size() <= kMaxRequestBytes)
    {
        return; // the rest of the line is on its way
    }
    Drop(fd);
}

void CSingleInstance::Drop(int fd)
{
    const auto found = m_clients.find(fd);
    if (found == m_clients.end())
        return;
    found->second.notifier->setEnabled(false);
    // Deleting the notifier from inside its own signal is left to the event loop.
    found->second.notifier.release()->deleteLater();
    m_clients.erase(found);
    ::close(fd);
}
