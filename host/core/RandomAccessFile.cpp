// SPDX-License-Identifier: MIT
#include "RandomAccessFile.h"

#include "Attributes.h"
#include "Location.h"
#include "RegularFile.h"
#include "RuntimeError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace host {
namespace {

int openErrorNumber(int err, const Location& at) {
    if (err == ENOENT && !at.folderExists())
        return ErrPathNotFound;
    if (err == ENOENT || err == EEXIST)
        return ErrPathFileAccess; // a dangling link where the file belongs
    if (err == EISDIR)
        return ErrPathFileAccess;
    return errorFromErrno(err);
}

} // namespace

RandomAccessFile RandomAccessFile::open(const QString& dosPath) {
    const Location at = Location::of(dosPath);
    const LastLink links = at.ownFileLinks();
    const std::optional<struct stat> entry = at.status(links);
    // A foreign entry on the medium is no file of its own: it is neither read nor written in
    // place nor created through.
    if (entry && (S_ISDIR(entry->st_mode) || at.isForeignEntry(*entry)))
        raise(ErrPathFileAccess);

    if (entry && isReadOnly(*entry)) {
        const int fd = openRegularFile(at, O_RDONLY, 0, links);
        if (fd < 0)
            raise(openErrorNumber(errno, at));
        return RandomAccessFile(fd, ErrPathFileAccess);
    }
    int fd = openRegularFile(at, O_RDWR, 0, links);
    // A missing file is created only where no entry at all is: never at the far end of a
    // dangling link.
    if (fd < 0 && errno == ENOENT && at.folderExists() && !at.status(LastLink::Keep))
        fd = openRegularFile(at, O_RDWR | O_CREAT | O_EXCL, 0666, LastLink::Keep);
    if (fd < 0 && errno == EEXIST)
        fd = openRegularFile(at, O_RDWR, 0, links); // made meanwhile by another run
    if (fd >= 0)
        return RandomAccessFile(fd, 0);
    const int err = errno;
    if (err == EROFS || err == EACCES || err == EPERM) {
        // A write-protected medium: the file can still be read.
        fd = openRegularFile(at, O_RDONLY, 0, links);
        if (fd >= 0)
            return RandomAccessFile(fd, ErrPermissionDenied);
    }
    raise(openErrorNumber(err, at));
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
