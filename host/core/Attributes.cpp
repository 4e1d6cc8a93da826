// SPDX-License-Identifier: MIT
#include "Attributes.h"

#include "Fd.h"
#include "RuntimeError.h"

#include <QByteArray>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace host {
namespace {

constexpr char kXattrName[] = "user.DOSATTRIB";
constexpr int kXattrBits = AttrHidden | AttrSystem;
constexpr long kMsdosMagic = 0x4d44;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// A file system that keeps no permissions or extended attributes (a FUSE FAT driver, say).
bool cannotStore(int err) {
    return err == ENOTSUP || err == EOPNOTSUPP || err == ENOSYS;
}

bool onVfat(int fd) {
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && fs.f_type == kMsdosMagic;
}

struct stat statOrRaise(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        raise(ErrFileNotFound);
    return st;
}

// A descriptor for the FAT ioctls: files and folders only (opening a pipe would wait for a
// writer), and never waiting; -1 for anything else.
int openForIoctl(int fd, const struct stat& st) {
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return -1;
    return ::open(procPath(fd).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

int xattrBits(const QByteArray& path) {
    char buffer[32] = {};
    const ssize_t n = ::getxattr(path.constData(), kXattrName, buffer, sizeof buffer - 1);
    if (n <= 0)
        return 0;
    buffer[n] = '\0';
    return static_cast<int>(std::strtoul(buffer, nullptr, 16)) & kXattrBits;
}

} // namespace

int attributesOf(int fd) {
    const struct stat st = statOrRaise(fd);
    int attributes = S_ISDIR(st.st_mode) ? AttrDirectory : AttrArchive;
    if (isReadOnly(st))
        attributes |= AttrReadOnly;

    UniqueFd file(openForIoctl(fd, st));
    std::uint32_t fat = 0;
    if (file.fd >= 0 && onVfat(file.fd) && ::ioctl(file.fd, FAT_IOCTL_GET_ATTRIBUTES, &fat) == 0)
        return attributes | static_cast<int>(fat & (ATTR_RO | ATTR_HIDDEN | ATTR_SYS));
    return attributes | xattrBits(procPath(fd));
}

void setAttributesOf(int fd, int attributes) {
    const struct stat st = statOrRaise(fd);
    if (S_ISLNK(st.st_mode))
        raise(ErrFileNotFound); // marks go on the entry itself, never onto what a link names

    UniqueFd file(openForIoctl(fd, st));
    if (file.fd >= 0 && onVfat(file.fd)) {
        std::uint32_t fat = 0;
        if (::ioctl(file.fd, FAT_IOCTL_GET_ATTRIBUTES, &fat) == 0) {
            fat = (fat & ~std::uint32_t(ATTR_RO | ATTR_HIDDEN | ATTR_SYS)) |
                  std::uint32_t(attributes & (AttrReadOnly | AttrHidden | AttrSystem));
            if (::ioctl(file.fd, FAT_IOCTL_SET_ATTRIBUTES, &fat) != 0 && errno == EROFS)
                raise(ErrPermissionDenied);
            return;
        }
    }

    const QByteArray path = procPath(fd);
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & AttrReadOnly) ? (mode & ~kWriteBits) : (mode | S_IWUSR);
    if (mode != (st.st_mode & 07777) && ::chmod(path.constData(), mode) != 0 && !cannotStore(errno))
        raiseErrno(errno);

    const int bits = attributes & kXattrBits;
    if (bits == xattrBits(path))
        return;
    int rc = 0;
    if (bits == 0) {
        rc = ::removexattr(path.constData(), kXattrName);
    } else {
        char text[16];
        const int len = std::snprintf(text, sizeof text, "0x%x", bits);
        rc = ::setxattr(path.constData(), kXattrName, text, static_cast<size_t>(len), 0);
    }
    if (rc != 0 && errno != ENODATA && !cannotStore(errno))
        raiseErrno(errno);
}

bool isReadOnly(const struct stat& st) {
    return (st.st_mode & kWriteBits) == 0;
}

} // namespace host
