// SPDX-License-Identifier: MIT
#include "Fd.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <memory>

namespace host {

std::optional<struct stat> statOf(const QByteArray& path, bool followLinks) {
    struct stat st {};
    if ((followLinks ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st)) != 0)
        return std::nullopt;
    return st;
}

namespace {

// The one loop under reads and writes: steps until `size` bytes are done, again after a signal;
// a step that moves nothing is the end of the file.
template <typename Step> ssize_t untilDone(size_t size, Step step) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = step(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

} // namespace

ssize_t readFully(int fd, char* data, size_t size, off_t offset) {
    return untilDone(size, [&](size_t done) {
        return offset >= 0 ? ::pread(fd, data + done, size - done, offset + off_t(done))
                           : ::read(fd, data + done, size - done);
    });
}

QByteArray procPath(int fd) {
    return "/proc/self/fd/" + QByteArray::number(fd);
}

QByteArray currentPathOf(int fd) {
    char where[PATH_MAX] = {};
    const ssize_t length = ::readlink(procPath(fd).constData(), where, sizeof where - 1);
    return length > 0 ? QByteArray(where, length) : QByteArray();
}

bool writeFully(int fd, const char* data, size_t size, off_t offset) {
    const ssize_t written = untilDone(size, [&](size_t done) {
        return offset >= 0 ? ::pwrite(fd, data + done, size - done, offset + off_t(done))
                           : ::write(fd, data + done, size - done);
    });
    if (written >= 0 && size_t(written) < size)
        errno = ENOSPC; // a write that takes nothing: the medium is full
    return written == ssize_t(size);
}

void forEachEntry(
    int folder, const std::function<bool(const QByteArray& hostName, const QString& name)>& visit) {
    const int readable = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0)
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(readable), &::closedir);
    if (!listing) {
        ::close(readable);
        return;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        if (!visit(name, QFile::decodeName(name)))
            return;
    }
}

} // namespace host
