// SPDX-License-Identifier: MIT
#include "Location.h"

#include "Prefix.h"
#include "RuntimeError.h"

#include <QFile>
#include <QList>

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace host {
namespace {

thread_local const MediumHold* t_hold = nullptr;

constexpr int kMaxLinks = 40; // as the kernel's own lookup

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    return folder.isEmpty() ? name : folder + '/' + name;
}

// The components of a path below a folder, without the empty ones and ".".
QList<QByteArray> partsOf(const QByteArray& path) {
    QList<QByteArray> parts = path.split('/');
    parts.removeIf([](const QByteArray& part) { return part.isEmpty() || part == "."; });
    return parts;
}

// Where openat2 is missing (Linux before 5.6), or VORTLE_NO_OPENAT2 asks the tests to take this
// way: one component at a time from the root, never following a link by the kernel. A link is
// read and its target walked in its place; an absolute one, or a ".." above the root, is EXDEV.
int walkBeneath(int root, const QByteArray& path, int flags, mode_t mode) {
    std::vector<UniqueFd> below; // the folders walked into, from the root down
    QList<QByteArray> todo = partsOf(path);
    int links = 0;
    while (!todo.isEmpty()) {
        const QByteArray part = todo.takeFirst();
        const int at = below.empty() ? root : below.back().fd;
        if (part == "..") {
            if (below.empty()) {
                errno = EXDEV;
                return -1;
            }
            below.pop_back();
            continue;
        }
        struct stat st {};
        if (::fstatat(at, part.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
            if (++links > kMaxLinks) {
                errno = ELOOP;
                return -1;
            }
            QByteArray target(PATH_MAX, '\0');
            const ssize_t n = ::readlinkat(at, part.constData(), target.data(), target.size());
            if (n < 0)
                return -1;
            target.truncate(n);
            if (target.startsWith('/')) {
                errno = EXDEV;
                return -1;
            }
            todo = partsOf(target) + todo;
            continue;
        }
        if (todo.isEmpty())
            return ::openat(at, part.constData(), flags | O_NOFOLLOW, mode);
        UniqueFd next(
            ::openat(at, part.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.fd < 0)
            return -1;
        below.push_back(std::move(next));
    }
    return ::openat(below.empty() ? root : below.back().fd, ".", flags, mode);
}

bool kernelResolvesBeneath() {
    static const bool allowed = qEnvironmentVariableIsEmpty("VORTLE_NO_OPENAT2");
    return allowed;
}

// Opens `path` below `root`: on the medium beneath it, decided by the kernel; elsewhere as the
// host would, links followed.
int openBelow(int root, const QByteArray& path, int flags, mode_t mode, bool confined) {
    const QByteArray relative = path.isEmpty() ? QByteArrayLiteral(".") : path;
    if (!confined)
        return ::openat(root, relative.constData(), flags, mode);
    static std::atomic_bool missing = false;
    if (kernelResolvesBeneath() && !missing) {
        struct open_how how {};
        how.flags = quint64(flags);
        how.mode = (flags & O_CREAT) ? mode : 0;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
        for (int attempt = 0; attempt < 8; ++attempt) {
            const long fd = ::syscall(SYS_openat2, root, relative.constData(), &how, sizeof how);
            if (fd >= 0 || errno != EAGAIN)
                return int(fd);
        }
        if (errno != ENOSYS)
            return -1;
        missing = true;
    }
    return walkBeneath(root, relative, flags, mode);
}

// The host's name of the matching entry (none below a missing folder), else the name as the
// path spells it: a name to be made, which on the medium must be one Windows can hold. A
// pattern names nothing to be made.
QByteArray matchOrSpelled(int folder, const QString& name, bool confined) {
    const QByteArray match = folder < 0 ? QByteArray() : matchName(folder, name);
    if (!match.isEmpty())
        return match;
    const bool pattern = name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
    if (confined && !pattern && isNameWindowsCannotHold(name))
        raise(ErrBadFileNameOrNumber);
    return QFile::encodeName(name);
}

// The drive's root as it is now; driveRoot() throws 68 and 71.
UniqueFd openDriveRoot(QChar drive) {
    return UniqueFd(
        ::open(QFile::encodeName(driveRoot(drive)).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

UniqueFd rootOf(QChar drive, bool confined) {
    if (confined && t_hold) {
        // The run's medium, and no other: not ready when the run began is not ready now.
        if (t_hold->root() < 0)
            raise(ErrDiskNotReady);
        return UniqueFd(::fcntl(t_hold->root(), F_DUPFD_CLOEXEC, 0));
    }
    UniqueFd root = openDriveRoot(drive);
    if (root.fd < 0)
        raise(ErrDiskNotReady);
    return root;
}

} // namespace

Location Location::of(const QString& dosPath) {
    return of(parseDosPath(dosPath));
}

Location Location::of(const DosPath& path) {
    Location at;
    at.m_confined = isOnMedium(path);
    at.m_root = rootOf(path.drive, at.m_confined);
    QStringList folders = path.components;
    const QString last = folders.isEmpty() ? QString() : folders.takeLast();
    UniqueFd folder(::fcntl(at.m_root.fd, F_DUPFD_CLOEXEC, 0));
    for (const QString& part : std::as_const(folders)) {
        const QByteArray name = matchOrSpelled(folder.fd, part, at.m_confined);
        at.m_folderPath = joined(at.m_folderPath, name);
        if (folder.fd < 0)
            continue; // spelled as written below a missing folder
        folder.reset(openBelow(at.m_root.fd, at.m_folderPath, O_PATH | O_DIRECTORY | O_CLOEXEC, 0,
                               at.m_confined));
        if (folder.fd < 0 && leadsOffTheMedium(errno))
            raise(ErrPathFileAccess); // "a:\up\x" with "up" -> "../.." would reach the user's files
        if (folder.fd < 0 && errno != ENOENT && errno != ENOTDIR)
            raiseErrno(errno);
    }
    at.m_folder = std::move(folder);
    if (!last.isEmpty())
        at.m_name = matchOrSpelled(at.m_folder.fd, last, at.m_confined);
    return at;
}

std::optional<struct stat> Location::statusOf(const QByteArray& name, LastLink last) const {
    const bool followLast = last == LastLink::Follow;
    struct stat st {};
    if (m_folder.fd < 0) {
        errno = ENOENT;
        return std::nullopt;
    }
    if (name.isEmpty()) {
        if (::fstat(m_folder.fd, &st) != 0)
            return std::nullopt;
        return st;
    }
    if (!followLast || !m_confined) {
        if (::fstatat(m_folder.fd, name.constData(), &st, followLast ? 0 : AT_SYMLINK_NOFOLLOW) !=
            0)
            return std::nullopt;
        return st;
    }
    // Only a link needs the look beneath the root; any other entry is what it is.
    if (::fstatat(m_folder.fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    if (!S_ISLNK(st.st_mode))
        return st;
    const UniqueFd entry(openEntry(name, O_PATH, 0, LastLink::Follow));
    if (entry.fd < 0 || ::fstat(entry.fd, &st) != 0)
        return std::nullopt;
    return st;
}

int Location::openEntry(const QByteArray& name, int flags, mode_t mode, LastLink last) const {
    const bool followLast = last == LastLink::Follow;
    if (m_folder.fd < 0) {
        errno = ENOENT;
        return -1;
    }
    flags |= O_CLOEXEC;
    if (name.isEmpty())
        return ::openat(m_folder.fd, ".", flags, mode);
    if (!followLast)
        return ::openat(m_folder.fd, name.constData(), flags | O_NOFOLLOW, mode);
    if (!m_confined)
        return ::openat(m_folder.fd, name.constData(), flags, mode);
    return openBelow(m_root.fd, joined(m_folderPath, name), flags, mode, true);
}

bool Location::isForeignEntry(const struct stat& entry) const {
    return m_confined && (S_ISLNK(entry.st_mode) || (S_ISREG(entry.st_mode) && entry.st_nlink > 1));
}

QString Location::hostPath() const {
    QByteArray path = currentPathOf(m_root.fd);
    if (path.isEmpty())
        raise(ErrDiskNotReady);
    if (path.endsWith('/'))
        path.chop(1);
    for (const QByteArray& part : {m_folderPath, m_name})
        if (!part.isEmpty())
            path += '/' + part;
    return path.isEmpty() ? QStringLiteral("/") : QFile::decodeName(path);
}

int Location::openFolder() const {
    return m_folder.fd < 0 ? -1 : ::openat(m_folder.fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

Medium Medium::inDriveA() {
    try {
        return Medium(openDriveRoot(QLatin1Char('a')));
    } catch (const RuntimeError&) {
        return {}; // not ready: what is done on it says so
    }
}

Medium Medium::duplicate() const {
    return Medium(UniqueFd(m_root.fd < 0 ? -1 : ::fcntl(m_root.fd, F_DUPFD_CLOEXEC, 0)));
}

bool Medium::isInDrive() const {
    const MediumId held = MediumId::of(m_root.fd);
    return held != MediumId() && held == MediumId::ofDriveA();
}

MediumId MediumId::of(int root) {
    struct stat st {};
    struct statfs fs {};
    if (root < 0 || ::fstat(root, &st) != 0 || ::fstatfs(root, &fs) != 0)
        return {};
    return {FileId::of(st),
            QByteArray(reinterpret_cast<const char*>(&fs.f_fsid), sizeof fs.f_fsid)};
}

MediumId MediumId::ofDriveA() {
    return of(Medium::inDriveA().root());
}

MediumHold::MediumHold() : m_medium(Medium::inDriveA()), m_outer(t_hold) {
    t_hold = this;
}

MediumHold::MediumHold(const Medium& medium) : m_medium(medium.duplicate()), m_outer(t_hold) {
    t_hold = this;
}

MediumHold::~MediumHold() {
    t_hold = m_outer;
}

const MediumHold* MediumHold::current() {
    return t_hold;
}

QByteArray matchName(int folder, const QString& name) {
    const QByteArray exact = QFile::encodeName(name);
    struct stat st {};
    if (::fstatat(folder, exact.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return exact;
    QByteArray match;
    forEachEntry(folder, [&](const QByteArray& hostName, const QString& entry) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            return true;
        match = hostName;
        return false;
    });
    return match;
}

bool leadsOffTheMedium(int err) {
    return err == EXDEV || err == ELOOP || err == EAGAIN;
}

} // namespace host
