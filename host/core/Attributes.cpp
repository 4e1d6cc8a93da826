// SPDX-License-Identifier: MIT
#include "Attributes.h"

#include "Fd.h"
#include "RuntimeError.h"

#include <QFile>

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

struct stat statOrRaise(const QByteArray& path, bool followLinks = true) {
    const std::optional<struct stat> st = statOf(path, followLinks);
    if (!st)
        raise(errno == ENOTDIR ? ErrPathNotFound : ErrFileNotFound);
    return *st;
}

// A descriptor for the FAT ioctls: files and folders only (opening a pipe would wait for a
// writer), and never waiting; -1 for anything else.
int openForIoctl(const QByteArray& path, const struct stat& st, bool followLinks) {
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return -1;
    return ::open(path.constData(),
                  O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
}

int xattrBits(const QByteArray& path, bool followLinks) {
    char buffer[32] = {};
    const ssize_t n = followLinks
                          ? ::getxattr(path.constData(), kXattrName, buffer, sizeof buffer - 1)
                          : ::lgetxattr(path.constData(), kXattrName, buffer, sizeof buffer - 1);
    if (n <= 0)
        return 0;
    buffer[n] = '\0';
    return static_cast<int>(std::strtoul(buffer, nullptr, 16)) & kXattrBits;
}

} // namespace

int hostAttributes(const QString& hostPath) {
    const QByteArray path = QFile::encodeName(hostPath);
    const struct stat st = statOrRaise(path);
    int attributes = S_ISDIR(st.st_mode) ? AttrDirectory : AttrArchive;
    if ((st.st_mode & kWriteBits) == 0)
        attributes |= AttrReadOnly;

    UniqueFd file(openForIoctl(path, st, true));
    std::uint32_t fat = 0;
    if (file.fd >= 0 && onVfat(file.fd) && ::ioctl(file.fd, FAT_IOCTL_GET_ATTRIBUTES, &fat) == 0)
        return attributes | static_cast<int>(fat & (ATTR_RO | ATTR_HIDDEN | ATTR_SYS));
    return attributes | xattrBits(path, true);
}

void setHostAttributes(const QString& hostPath, int attributes) {
    const QByteArray path = QFile::encodeName(hostPath);
    // Marks go on the entry itself, never through a link onto what it names.
    const struct stat st = statOrRaise(path, false);
    if (S_ISLNK(st.st_mode))
        raise(ErrFileNotFound);

    UniqueFd file(openForIoctl(path, st, false));
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

    mode_t mode = st.st_mode & 07777;
    mode = (attributes & AttrReadOnly) ? (mode & ~kWriteBits) : (mode | S_IWUSR);
    if (mode != (st.st_mode & 07777) &&
        ::fchmodat(AT_FDCWD, path.constData(), mode, AT_SYMLINK_NOFOLLOW) != 0 &&
        !cannotStore(errno))
        raiseErrno(errno);

    const int bits = attributes & kXattrBits;
    if (bits == xattrBits(path, false))
        return;
    int rc = 0;
    if (bits == 0) {
        rc = ::lremovexattr(path.constData(), kXattrName);
    } else {
        char text[16];
        const int len = std::snprintf(text, sizeof text, "0x%x", bits);
        rc = ::lsetxattr(path.constData(), kXattrName, text, static_cast<size_t>(len), 0);
    }
    if (rc != 0 && errno != ENODATA && !cannotStore(errno))
        raiseErrno(errno);
}

bool hostIsReadOnly(const QByteArray& encodedPath) {
    const std::optional<struct stat> st = statOf(encodedPath);
    return st && (st->st_mode & kWriteBits) == 0;
}

bool hostIsReadOnly(const QString& hostPath) {
    return hostIsReadOnly(QFile::encodeName(hostPath));
}

} // namespace host
