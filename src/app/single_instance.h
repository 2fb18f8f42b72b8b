// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One window per user session: the first start listens on a local socket in
// the user's runtime folder; a later start finds it, asks that window to
// come to the front, and ends. A socket left behind by a crash answers
// nobody and is replaced. A lock file keeps two starts at the same moment
// from both listening.
class CSingleInstance : public QObject
{
    Q_OBJECT
public:
    // folder: where the socket and its lock live; the runtime folder when empty.
    explicit CSingleInstance(QString folder = {});

    // True when another window runs and was asked to come forward: this
    // start should end. Otherwise this start listens from now on (or, when
    // it cannot, runs as before without listening).
    bool HandOverToRunning();

    QString SocketPath() const { return m_folder + QStringLiteral("/org.susurra.Susurra.instance"); }

signals:
    // Another start asked for the window.
    void RaiseRequested();

private:
    void OnNewConnection();

    QString m_folder;
    QLocalServer m_server;
};
