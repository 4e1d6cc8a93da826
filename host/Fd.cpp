// SPDX-License-Identifier: MIT
#include "Fd.h"

#include <cerrno>

namespace host {

std::optional<struct stat> statOf(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return std::nullopt;
    return st;
}

ssize_t readFully(int fd, char* data, size_t size, off_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = offset >= 0 ? ::pread(fd, data + done, size - done, offset + off_t(done))
                                      : ::read(fd, data + done, size - done);
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

bool writeFully(int fd, const char* data, size_t size, off_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = offset >= 0 ? ::pwrite(fd, data + done, size - done, offset + off_t(done))
                                      : ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        done += size_t(n);
    }
    return true;
}

} // namespace host
