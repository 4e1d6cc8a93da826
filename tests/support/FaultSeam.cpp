// SPDX-License-Identifier: MIT
#include "FaultSeam.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

template <typename Function> Function* real(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

std::atomic_bool g_recording = false;
QMutex g_mutex; // guards everything below
QStringList g_calls;
QList<dev_t> g_devices;
QString g_failing;
int g_error = 0;
qsizetype g_shortBy = 0;
std::atomic_bool g_armed = false;
std::atomic_bool g_swapAtOpen = false;
QByteArray g_swapRoot;
std::atomic_bool g_makeAtRename = false;
QByteArray g_madePath;

void record(const QString& call, int fd) {
    if (!g_recording)
        return;
    struct stat st {};
    ::fstat(fd, &st);
    const QMutexLocker lock(&g_mutex);
    g_calls << call;
    g_devices << st.st_dev;
}

// Whether this call is the one armed to fail; errno is then set. (Armed for "write", any
// write to a regular file counts, a log written to a file included.)
bool failsNow(const QString& call) {
    if (!g_armed)
        return false;
    const QMutexLocker lock(&g_mutex);
    if (g_failing != call)
        return false;
    g_failing.clear();
    g_armed = false;
    errno = g_error;
    return true;
}

} // namespace

namespace FaultSeam {

void startRecording() {
    const QMutexLocker lock(&g_mutex);
    g_calls.clear();
    g_devices.clear();
    g_recording = true;
}

void stopRecording() {
    g_recording = false;
}

QStringList calls() {
    const QMutexLocker lock(&g_mutex);
    return g_calls;
}

bool flushedBeforeEveryRename() {
    const QMutexLocker lock(&g_mutex);
    QHash<dev_t, qsizetype> lastWrite, lastFlush;
    for (qsizetype i = 0; i < g_calls.size(); ++i) {
        const dev_t device = g_devices[i];
        if (g_calls[i] == QLatin1String("write"))
            lastWrite[device] = i;
        if (g_calls[i] == QLatin1String("syncfs") || g_calls[i] == QLatin1String("fdatasync"))
            lastFlush[device] = i;
        if (g_calls[i].startsWith(QLatin1String("rename ")) &&
            lastFlush.value(device, -1) < lastWrite.value(device, -1))
            return false;
    }
    return true;
}

void failNext(const QString& call, int error, qsizetype shortBy) {
    const QMutexLocker lock(&g_mutex);
    g_failing = call;
    g_error = error;
    g_shortBy = shortBy;
    g_armed = true;
}

void swapAtOpen(const QByteArray& root) {
    {
        const QMutexLocker lock(&g_mutex);
        g_swapRoot = root;
    }
    g_swapAtOpen = true;
}

void makeAtRename(const QByteArray& path) {
    {
        const QMutexLocker lock(&g_mutex);
        g_madePath = path;
    }
    g_makeAtRename = true;
}

void disarm() {
    g_swapAtOpen = g_makeAtRename = g_armed = false;
    const QMutexLocker lock(&g_mutex);
    g_failing.clear();
}

} // namespace FaultSeam

extern "C" int fdatasync(int fd) {
    record(QStringLiteral("fdatasync"), fd);
    return failsNow(QStringLiteral("fdatasync")) ? -1 : real<int(int)>("fdatasync")(fd);
}

extern "C" int fsync(int fd) {
    record(QStringLiteral("fsync"), fd);
    return failsNow(QStringLiteral("fsync")) ? -1 : real<int(int)>("fsync")(fd);
}

extern "C" int syncfs(int fd) {
    record(QStringLiteral("syncfs"), fd);
    return failsNow(QStringLiteral("syncfs")) ? -1 : real<int(int)>("syncfs")(fd);
}

extern "C" int openat(int dir, const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list rest;
        va_start(rest, flags);
        mode = mode_t(va_arg(rest, int));
        va_end(rest);
    }
    if ((flags & O_CREAT) && std::strncmp(path, ".vrtl-", 6) == 0)
        record(QStringLiteral("write"), dir);
    if (std::strcmp(path, "sub") == 0 && g_swapAtOpen.exchange(false)) {
        QByteArray root;
        {
            const QMutexLocker lock(&g_mutex);
            root = g_swapRoot;
        }
        ::renameat2(AT_FDCWD, QByteArray(root + "/sub").constData(), AT_FDCWD,
                    QByteArray(root + "/swap").constData(), RENAME_EXCHANGE);
    }
    return real<int(int, const char*, int, ...)>("openat")(dir, path, flags, mode);
}

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    struct stat st {};
    if (g_armed && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        qsizetype shortBy = 0;
        {
            const QMutexLocker lock(&g_mutex);
            shortBy = g_shortBy;
        }
        if (failsNow(QStringLiteral("write"))) {
            if (shortBy <= 0 || size_t(shortBy) >= size)
                return -1;
            return real<ssize_t(int, const void*, size_t)>("write")(fd, data,
                                                                    size - size_t(shortBy));
        }
    }
    return real<ssize_t(int, const void*, size_t)>("write")(fd, data, size);
}

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to,
                         unsigned int flags) {
    record(QStringLiteral("rename ") + QString::fromUtf8(to), toDir);
    if (failsNow(QStringLiteral("rename")))
        return -1;
    if ((flags & RENAME_NOREPLACE) && g_makeAtRename.exchange(false)) {
        QByteArray path;
        {
            const QMutexLocker lock(&g_mutex);
            path = g_madePath;
        }
        QFile made(QFile::decodeName(path));
        made.open(QIODevice::WriteOnly) && made.write("theirs") && made.flush();
        made.close();
        made.setPermissions(QFile::ReadOwner);
    }
    return real<int(int, const char*, int, const char*, unsigned int)>("renameat2")(
        fromDir, from, toDir, to, flags);
}

extern "C" int renameat(int fromDir, const char* from, int toDir, const char* to) {
    record(QStringLiteral("rename ") + QString::fromUtf8(to), toDir);
    if (failsNow(QStringLiteral("rename")))
        return -1;
    return real<int(int, const char*, int, const char*)>("renameat")(fromDir, from, toDir, to);
}
