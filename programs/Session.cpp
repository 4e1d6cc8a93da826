// SPDX-License-Identifier: MIT
#include "Session.h"

#include "host/core/Prefix.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vortle {

namespace {

int g_signalPipe[2] = {-1, -1};

// Only what is safe in a signal handler: one byte into the pipe, read on the event loop.
void onEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// A folder that only this user can reach: owned by the user, no link, mode 0700. Another user
// who could make or enter it could listen on the channel first.
bool isPrivateFolder(const QString& folder) {
    struct stat st {};
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0777) == 0700;
}

// The session's runtime folder, else one of the user's own in the temporary folder; none
// when neither is private, and then there is no channel.
QString channelFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/vortle-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateFolder(own) ? own : QString();
}

// Only a peer of this user's own is believed.
bool isOwnPeer(const QLocalSocket& socket) {
    struct ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) ==
               0 &&
           peer.uid == ::getuid();
}

constexpr char kRaise[] = "raise\n";
constexpr char kRaised[] = "raised\n";

} // namespace

QString Session::channelName() {
    const QString folder = channelFolder();
    if (folder.isEmpty())
        return {};
    const QByteArray prefix =
        QCryptographicHash::hash(QFile::encodeName(host::prefixPath()), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return folder + QStringLiteral("/vortle-%1-%2").arg(::getuid()).arg(QLatin1String(prefix));
}

bool Session::raiseRunningPanel() {
    const QString name = channelName();
    if (name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(1000) || !isOwnPeer(socket))
        return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(1000);
    // Believed only once the panel says it came to the front.
    while (socket.bytesAvailable() < qint64(sizeof kRaised - 1) && socket.waitForReadyRead(1000)) {
    }
    return socket.readAll() == kRaised;
}

Session::Session(QObject* parent) : QObject(parent), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered on the channel: what is left of it is a crashed run's.
    const QString name = channelName();
    if (!name.isEmpty() && !m_server->listen(name)) {
        QLocalServer::removeServer(name);
        m_server->listen(name);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            if (!isOwnPeer(*peer)) {
                peer->abort();
                peer->deleteLater();
                continue;
            }
            emit raiseRequested();
            peer->write(kRaised);
            peer->flush();
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
