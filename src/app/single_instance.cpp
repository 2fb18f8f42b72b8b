// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

CSingleInstance::CSingleInstance(QString settingsFolder, QString runtimeFolder)
    : m_settingsFolder(settingsFolder.isEmpty() ? QStringLiteral(".") : std::move(settingsFolder)),
      m_folder(runtimeFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                                       : std::move(runtimeFolder))
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
    if (m_folderLockFd >= 0)
        ::close(m_folderLockFd);
}

QString CSingleInstance::SocketPath() const
{
    // One socket per settings folder, however it is spelled; short enough
    // for a socket address.
    const QString folder = QDir(m_settingsFolder).canonicalPath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(folder.isEmpty() ? m_settingsFolder : folder),
                                                    QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    return m_folder + QStringLiteral("/org.susurra.Susurra.") + QString::fromLatin1(key) + QStringLiteral(".instance");
}

CSingleInstance::FolderLock CSingleInstance::LockSettingsFolder()
{
    if (m_settingsFolder.isEmpty())
        return FolderLock::Unavailable;
    const int fd = ::open(QFile::encodeName(m_settingsFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return FolderLock::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
    {
        m_folderLockFd = fd;
        return FolderLock::Taken;
    }
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? FolderLock::HeldElsewhere : FolderLock::Unavailable;
}

bool CSingleInstance::HandOverToRunning()
{
    const bool haveRuntime = !m_folder.isEmpty() && QDir().mkpath(m_folder);
    switch (LockSettingsFolder())
    {
        case FolderLock::Taken:
            // This start owns the folder: nothing at the socket's path is a
            // window of it, not even one that accepts and never answers.
            if (haveRuntime)
                Listen();
            return false;
        case FolderLock::HeldElsewhere:
            // A busy window answers later; it has the request.
            if (!haveRuntime || AskRunning() == Answer::Nobody)
                std::fprintf(stderr,
                             "susurra: another Susurra window uses the settings in %s, but cannot be reached from "
                             "here (another session?); close it first\n",
                             qUtf8Printable(m_settingsFolder));
            return true;
        case FolderLock::Unavailable:
            break;
    }
    if (!haveRuntime)
        return false;
    QLockFile lock(m_folder + QStringLiteral("/org.susurra.Susurra.instance.lock"));
    // A lock whose owner died is taken over; a live one is waited for.
    if (!lock.tryLock(kAnswerMs * 2))
        return false;
    // Without the folder's lock, only a window that answers is one.
    if (AskRunning() == Answer::Answered)
        return true;
    Listen();
    return false;
}

CSingleInstance::Answer CSingleInstance::AskRunning() const
{
    const std::optional<sockaddr_un> address = SocketAddress(SocketPath());
    if (!address)
        return Answer::Nobody;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Answer::Nobody;
    Answer result = Answer::Nobody;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 && SendAll(fd, kRaise))
    {
        result = Answer::Connected;
        char answer[8] = {};
        if (WaitFor(fd, POLLIN) && ::read(fd, answer, sizeof answer) == kDone.size()
            && QByteArray(answer, kDone.size()) == kDone)
            result = Answer::Answered;
    }
    ::close(fd);
    return result;
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
