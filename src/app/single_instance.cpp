// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace
{

constexpr int kAnswerMs = 2000;
const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kDone = QByteArrayLiteral("ok\n");

} // namespace

CSingleInstance::CSingleInstance(QString folder)
    : m_folder(folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                                : std::move(folder))
{
    // The socket is the user's own.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
}

bool CSingleInstance::HandOverToRunning()
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return false;
    QLockFile lock(m_folder + QStringLiteral("/org.susurra.Susurra.instance.lock"));
    // A lock whose owner died is taken over; a live one is waited for.
    if (!lock.tryLock(kAnswerMs * 2))
        return false;

    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (socket.waitForConnected(kAnswerMs))
    {
        socket.write(kRaise);
        socket.waitForBytesWritten(kAnswerMs);
        // A window busy with long work answers later; it has the request.
        socket.waitForReadyRead(kAnswerMs);
        return true;
    }
    // Nobody answers: whatever is there was left by a crash.
    QLocalServer::removeServer(SocketPath());
    m_server.listen(SocketPath());
    return false;
}

void CSingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection())
    {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->readAll().contains(kRaise))
                return;
            emit RaiseRequested();
            socket->write(kDone);
            socket->flush();
        });
    }
}
