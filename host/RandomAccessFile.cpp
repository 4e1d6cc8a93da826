// SPDX-License-Identifier: MIT
#include "RandomAccessFile.h"

#include "Attributes.h"
#include "DosPath.h"
#include "RegularFile.h"
#include "RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace host {
namespace {

int openErrorNumber(int err, const QString& hostPath) {
    if (err == ENOENT && !QFileInfo(hostPath).dir().exists())
        return ErrPathNotFound;
    if (err == EISDIR)
        return ErrPathFileAccess;
    return errorFromErrno(err);
}

} // namespace

RandomAccessFile RandomAccessFile::open(const QString& dosPath) {
    const QString hostPath = toHostPath(dosPath);
    const QByteArray path = QFile::encodeName(hostPath);
    if (QFileInfo(hostPath).isDir())
        raise(ErrPathFileAccess);

    if (hostIsReadOnly(hostPath)) {
        const int fd = openRegularFile(path, O_RDONLY);
        if (fd < 0)
            raise(openErrorNumber(errno, hostPath));
        return RandomAccessFile(fd, ErrPathFileAccess);
    }
    int fd = openRegularFile(path, O_RDWR | O_CREAT, 0666);
    if (fd >= 0)
        return RandomAccessFile(fd, 0);
    const int err = errno;
    if (err == EROFS || err == EACCES || err == EPERM) {
        // A write-protected medium: the file can still be read.
        fd = openRegularFile(path, O_RDONLY);
        if (fd >= 0)
            return RandomAccessFile(fd, ErrPermissionDenied);
    }
    raise(openErrorNumber(err, hostPath));
}

RandomAccessFile::RandomAccessFile(RandomAccessFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_writeError(other.m_writeError) {}

RandomAccessFile& RandomAccessFile::operator=(RandomAccessFile&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_writeError = other.m_writeError;
    }
    return *this;
}

RandomAccessFile::~RandomAccessFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray RandomAccessFile::readAt(qint64 offset, qint64 length) const {
    if (m_fd < 0)
        raise(ErrBadFileNameOrNumber);
    QByteArray buffer(length, '\0');
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, buffer.data() + done, size_t(length - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseErrno(errno);
        }
        if (n == 0)
            break;
        done += n;
    }
    buffer.truncate(done);
    return buffer;
}

void RandomAccessFile::writeAt(qint64 offset, QByteArrayView bytes) {
    if (m_fd < 0)
        raise(ErrBadFileNameOrNumber);
    if (m_writeError != 0)
        raise(m_writeError);
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(m_fd, bytes.data() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseErrno(errno);
        }
        done += n;
    }
}

void RandomAccessFile::close() {
    const int fd = std::exchange(m_fd, -1);
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
        raiseErrno(errno);
}

} // namespace host
