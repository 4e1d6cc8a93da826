// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <utility>

// The host layer's few POSIX descriptor steps, each written once: the owner of a descriptor,
// the stat of a path, and the one loop of reads and writes that goes on after a signal.
namespace host {

// Owns a POSIX file descriptor and closes it when it goes out of scope.
struct UniqueFd {
    int fd = -1;
    UniqueFd() = default;
    explicit UniqueFd(int descriptor) : fd(descriptor) {}
    UniqueFd(UniqueFd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.fd, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }
    void reset(int descriptor = -1) {
        if (fd >= 0)
            ::close(fd);
        fd = descriptor;
    }
    // Gives the descriptor up, for a close whose error counts.
    int release() { return std::exchange(fd, -1); }
};

// The stat of a host path, links followed unless `followLinks` is false (a link is then
// described itself); nothing when it cannot be had, errno then says why.
std::optional<struct stat> statOf(const QByteArray& path, bool followLinks = true);

// The kernel's name for an open descriptor (/proc/self/fd/N): it reaches exactly the file or
// folder the descriptor holds, with no further look-up.
QByteArray procPath(int fd);

// Where the file or folder an open descriptor holds is now, as the kernel names it; empty when
// that cannot be had.
QByteArray currentPathOf(int fd);

// Reads up to `size` bytes, at `offset` when it is not negative, else at the file position;
// fewer only where the file ends. Returns the count, or -1 with errno set.
ssize_t readFully(int fd, char* data, size_t size, off_t offset = -1);

// Writes all `size` bytes, at `offset` when it is not negative. False with errno set on failure.
bool writeFully(int fd, const char* data, size_t size, off_t offset = -1);

// Walks a folder (any descriptor of it, O_PATH will do) as a stream, by the bytes the host
// names its entries with, so that a name that is not valid in the locale's encoding is still
// found and a folder of any size takes no memory of its own. `visit` gets the entry's host name
// and its name for matching, and returns false to stop. Nothing is opened.
void forEachEntry(
    int folder, const std::function<bool(const QByteArray& hostName, const QString& name)>& visit);

} // namespace host
