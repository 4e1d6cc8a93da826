// SPDX-License-Identifier: MIT
#include "RegularFile.h"

#include "Location.h"
#include "RuntimeError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

int openRegularFile(const Location& at, int flags, mode_t mode, LastLink last) {
    const bool followLast = last == LastLink::Follow;
    const std::optional<struct stat> entry = at.status(last);
    if (entry && (S_ISLNK(entry->st_mode) || (!followLast && at.isForeignEntry(*entry)))) {
        errno = ENOENT;
        return -1;
    }
    if (entry && !S_ISREG(entry->st_mode) && !S_ISDIR(entry->st_mode))
        raise(ErrPathFileAccess);
    // Non-blocking, in case the entry changed since the look: no open can wait for ever.
    const int fd = at.open(flags | O_NONBLOCK, mode, last);
    if (fd < 0) {
        if (errno == ELOOP && !followLast)
            errno = ENOENT; // became a link since the look
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (!followLast && at.isForeignEntry(st))) {
        const bool directory = S_ISDIR(st.st_mode);
        const bool linked = S_ISREG(st.st_mode);
        ::close(fd);
        if (directory || linked) {
            errno = directory ? EISDIR : ENOENT;
            return -1;
        }
        raise(ErrPathFileAccess);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace host
