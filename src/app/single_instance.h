// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <map>
#include <memory>

// One window per settings folder: two windows on one folder would each
// write its settings files at Exit, the later throwing away what the other
// saved. The first start locks the settings folder itself (flock on the
// folder, held until the program ends, so no file is added to it) and
// listens on a local socket in the user's runtime folder, named after the
// settings folder. A later start on the same folder finds the lock taken,
// asks that window through the socket to come to the front, and ends; it
// ends even when the window cannot answer (busy, or in another session),
// since the lock says it runs. Whatever else sits at the socket's path (left
// by a crash, or a socket that accepts and never answers) is replaced by
// the start that holds the lock. Where the folder cannot be locked, only a
// window that answers counts, and a lock file in the runtime folder keeps
// two starts at the same moment from both listening. Plain sockets under a
// notifier: a networking library would be loaded by every start for this alone.
class CSingleInstance : public QObject
{
    Q_OBJECT
public:
    // runtimeFolder: where the socket lives; the user's runtime folder when empty.
    explicit CSingleInstance(QString settingsFolder, QString runtimeFolder = {});
    ~CSingleInstance() override;

    // True when another window runs on the settings folder and was asked to
    // come forward: this start should end. Otherwise this start owns the
    // folder and listens from now on (or, when it cannot, runs as before
    // without listening).
    bool HandOverToRunning();

    QString SocketPath() const;

signals:
    // Another start asked for the window.
    void RaiseRequested();

private:
    struct Client
    {
        std::unique_ptr<QSocketNotifier> notifier;
        QByteArray received;
    };

    enum class Answer
    {
        Nobody,    // no socket, or nobody accepts
        Connected, // the request was taken, but no answer came in time
        Answered,
    };
    enum class FolderLock
    {
        Taken,
        HeldElsewhere,
        Unavailable, // the folder is missing or cannot be locked
    };

    FolderLock LockSettingsFolder();
    Answer AskRunning() const;
    void Listen();
    void OnNewConnection();
    void OnClientReadable(int fd);
    void Drop(int fd);

    QString m_settingsFolder;
    QString m_folder; // the socket's
    int m_folderLockFd = -1;
    int m_listenFd = -1;
    std::unique_ptr<QSocketNotifier> m_listening;
    std::map<int, Client> m_clients;
};
