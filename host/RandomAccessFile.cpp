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

QByteArray RandomAccessFile::readAt(qint64 offset, qint64 length) const {
    if (m_fd.fd < 0)
        raise(ErrBadFileNameOrNumber);
    QByteArray buffer(length, '\0');
    const ssize_t done = readFully(m_fd.fd, buffer.data(), size_t(length), offset);
    if (done < 0)
        raiseErrno(errno);
    buffer.truncate(done);
    return buffer;
}

void RandomAccessFile::writeAt(qint64 offset, QByteArrayView bytes) {
    if (m_fd.fd < 0)
        raise(ErrBadFileNameOrNumber);
    if (m_writeError != 0)
        raise(m_writeError);
    if (!writeFully(m_fd.fd, bytes.data(), size_t(bytes.size()), offset))
        raiseErrno(errno);
}

void RandomAccessFile::close() {
    const int fd = m_fd.release();
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
        raiseErrno(errno);
}

} // namespace host
