// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QSocketNotifier;

namespace vortle {

// The program's place in a desktop session: one panel per session, and the ways a session
// ends it (a logout's SIGTERM, SIGINT, SIGHUP, the session manager's quit) go through the main
// window's unload, as its close box does.
class Session : public QObject {
    Q_OBJECT
public:
    // True when another panel of this prefix already runs: it has been asked to come to the
    // front and said so, from a process of this user's. A stale channel left by a crash is
    // taken over.
    static bool raiseRunningPanel();

    explicit Session(QObject* parent = nullptr);
    ~Session() override;

    // The channel's name, one per user and prefix, in a folder only this user can reach (the
    // session's runtime folder, else the user's own in the temporary folder); empty when there
    // is none, and each start then runs as the first.
    static QString channelName();

signals:
    void raiseRequested();
    void endRequested();

private:
    QLocalServer* m_server;
    QSocketNotifier* m_signals = nullptr;
};

} // namespace vortle
