// SPDX-License-Identifier: MIT
#include "RegularFile.h"

#include "Fd.h"
#include "RuntimeError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

int openRegularFile(const QByteArray& path, int flags, mode_t mode, bool followLinks) {
    const std::optional<struct stat> entry = statOf(path, followLinks);
    if (entry && S_ISLNK(entry->st_mode)) {
        errno = ENOENT;
        return -1;
    }
    if (entry && !S_ISREG(entry->st_mode) && !S_ISDIR(entry->st_mode))
        raise(ErrPathFileAccess);
    // Non-blocking, in case the entry changed since the look: no open can wait for ever.
    const int fd = ::open(path.constData(),
                          flags | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW), mode);
    if (fd < 0) {
        if (errno == ELOOP && !followLinks)
            errno = ENOENT; // became a link since the look
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool directory = S_ISDIR(st.st_mode);
        ::close(fd);
        if (directory) {
            errno = EISDIR;
            return -1;
        }
        raise(ErrPathFileAccess);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace host
