// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <map>
#include <memory>

// One window per user session: the first start listens on a local socket in
// the user's runtime folder; a later start finds it, asks that window to
// come to the front, and ends. A socket left behind by a crash answers
// nobody and is replaced. A lock file keeps two starts at the same moment
// from both listening. Plain sockets under a notifier: a networking library
// would be loaded by every start for this alone.
class CSingleInstance : public QObject
{
    Q_OBJECT
public:
    // folder: where the socket and its lock live; the runtime folder when empty.
    explicit CSingleInstance(QString folder = {});
    ~CSingleInstance() override;

    // True when another window runs and was asked to come forward: this
    // start should end. Otherwise this start listens from now on (or, when
    // it cannot, runs as before without listening).
    bool HandOverToRunning();

    QString SocketPath() const { return m_folder + QStringLiteral("/org.susurra.Susurra.instance"); }

signals:
    // Another start asked for the window.
    void RaiseRequested();

private:
    struct Client
    {
        std::unique_ptr<QSocketNotifier> notifier;
        QByteArray received;
    };

    bool AskRunning() const;
    void Listen();
    void OnNewConnection();
    void OnClientReadable(int fd);
    void Drop(int fd);

    QString m_folder;
    int m_listenFd = -1;
    std::unique_ptr<QSocketNotifier> m_listening;
    std::map<int, Client> m_clients;
};
