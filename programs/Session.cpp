// SPDX-License-Identifier: MIT
#include "Session.h"

#include "host/core/Prefix.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vortle {

namespace {

int g_signalPipe[2] = {-1, -1};

// Only what is safe in a signal handler: one byte into the pipe, read on the event loop.
void onEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

QString Session::channelName() {
    // Beside the session's other sockets where the desktop keeps a runtime folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QByteArray prefix =
        QCryptographicHash::hash(QFile::encodeName(host::prefixPath()), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return folder + QStringLiteral("/vortle-%1-%2").arg(::getuid()).arg(QLatin1String(prefix));
}

bool Session::raiseRunningPanel() {
    QLocalSocket socket;
    socket.connectToServer(channelName());
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

Session::Session(QObject* parent) : QObject(parent), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered on the channel: what is left of it is a crashed run's.
    if (!m_server->listen(channelName())) {
        QLocalServer::removeServer(channelName());
        m_server->listen(channelName());
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit raiseRequested();
        }
    });

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) == 0) {
        ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
        m_signals = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
        connect(m_signals, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
            emit endRequested();
        });
        struct sigaction action {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            ::sigaction(signal, &action, nullptr);
    }
}

Session::~Session() {
    m_server->close();
}

} // namespace vortle
