// SPDX-License-Identifier: MIT
#include "FileSystem.h"

#include "Fd.h"
#include "Location.h"
#include "RegularFile.h"
#include "RuntimeError.h"
#include "TempBeside.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace host {
namespace {

bool isQuestionMark(QStringView pattern, qsizetype p) {
    return p < pattern.size() && pattern[p] == QLatin1Char('?');
}

bool globMatch(QStringView pattern, QStringView name) {
    // Iterative matcher with one backtrack point for the last '*'. A '?' stands for one
    // character, but a run of them that meets a dot or the end of the name stands for none
    // there, the DOS way ("junk?.txt" also matches "junk.txt").
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (isQuestionMark(pattern, p) && name[n] == QLatin1Char('.')) {
            while (isQuestionMark(pattern, p))
                ++p;
        } else if (p < pattern.size() && (pattern[p] == QLatin1Char('?') ||
                                          pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == QLatin1Char('*') || pattern[p] == QLatin1Char('?')))
        ++p;
    return p == pattern.size();
}

// The type of a stat with links followed; 0 for a dangling link or one that leads off the
// medium.
mode_t typeOf(const std::optional<struct stat>& st) {
    return st ? st->st_mode & S_IFMT : 0;
}

// The permissions a new file gets from this process: its umask, read once (from the kernel's
// own account, since umask() can only be read by changing it, for every thread at once).
mode_t processUmask() {
    static const mode_t mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:"))
                    return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8) & 0777);
            }
        }
        return mode_t(022);
    }();
    return mask;
}

void writeAll(int fd, const char* data, qint64 size) {
    if (!writeFully(fd, data, size_t(size)))
        raiseErrno(errno);
}

// Copies the rest of one open file into another: in the kernel where it can, else by reads
// and writes. In pieces, so that a long copy reports how far it is and can be stopped between
// two: up to 4 MiB, fewer where a piece takes longer than a tenth of a second (a slow
// medium); by reads and writes it also reports after every tenth of a second.
void copyContents(int from, int to, qint64 total, const CopyProgress& progress) {
    constexpr size_t kPiece = 4 << 20;
    constexpr size_t kSmallestPiece = 256 << 10;
    size_t piece = kPiece;
    qint64 done = 0;
    auto advance = [&](qint64 bytes) {
        done += bytes;
        if (progress && !progress(done, total))
            throw CopyCancelled();
    };
    for (;;) {
        QElapsedTimer pieceTime;
        pieceTime.start();
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, piece, 0);
        if (n > 0) {
            advance(n);
            const qint64 ms = pieceTime.elapsed();
            if (ms > 100 && piece > kSmallestPiece)
                piece /= 2;
            else if (ms < 25 && piece < kPiece)
                piece *= 2;
            continue;
        }
        if (n == 0)
            return;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            raiseErrno(errno);
        break;
    }
    // 128 KiB, as cp reads and writes: on a FUSE medium every write is a request to its server.
    QByteArray buffer(128 << 10, Qt::Uninitialized);
    qint64 sinceReport = 0;
    QElapsedTimer lastReport;
    lastReport.start();
    for (;;) {
        const ssize_t n = readFully(from, buffer.data(), size_t(buffer.size()));
        if (n < 0)
            raiseErrno(errno);
        if (n == 0)
            return;
        writeAll(to, buffer.constData(), n);
        sinceReport += n;
        if (sinceReport >= qint64(kPiece) || lastReport.hasExpired(100)) {
            advance(std::exchange(sinceReport, 0));
            lastReport.restart();
        }
    }
}

} // namespace

namespace {

// A copy larger than the room left where it goes fails before it writes: a sparse source of a
// terabyte never fills the user's disk. A file system that tells no sizes (some FUSE servers)
// is left to fail as it fills.
void requireRoomFor(const Location& to, qint64 bytes) {
    struct statvfs fs {};
    if (::fstatvfs(to.folder(), &fs) == 0 && fs.f_blocks > 0 &&
        bytes > qint64(fs.f_bavail) * qint64(fs.f_frsize))
        raise(ErrDiskFull);
}

bool hasWildcard(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// The entry a write to `to` replaces (its stat, not followed); nothing for a new file. Throws
// where the write may not go: a missing folder (76), a name with wildcards (52) and, in the
// entry's place, anything but a writable regular file (75).
std::optional<struct stat> entryToReplace(const Location& to) {
    if (to.name().isEmpty() || hasWildcard(QFile::decodeName(to.name())))
        raise(ErrBadFileNameOrNumber);
    if (!to.folderExists())
        raise(ErrPathNotFound);
    const std::optional<struct stat> entry = to.status(LastLink::Keep);
    // A link (or a second name of someone's file) on the medium is replaced itself, and nothing
    // is asked of what it names.
    if (!entry || to.isForeignEntry(*entry))
        return entry;
    // Only a regular file is replaced: not a folder, and not a pipe or a device.
    const std::optional<struct stat> st =
        S_ISLNK(entry->st_mode) ? to.status(LastLink::Follow) : entry;
    if (st && (!S_ISREG(st->st_mode) || isReadOnly(*st)))
        raise(ErrPathFileAccess);
    return entry;
}

// An existing file to read: 53 when there is none (or a folder, or on the medium a link or a
// second name of someone's file where only the entry counts), 76 when its folder is missing;
// anything but a regular file is 75.
UniqueFd openExistingFile(const Location& from, LastLink last) {
    const std::optional<struct stat> st = from.status(last);
    if (!st && leadsOffTheMedium(errno))
        raise(ErrPathFileAccess);
    if (!st)
        raise(from.folderExists() ? ErrFileNotFound : ErrPathNotFound);
    if (S_ISDIR(st->st_mode) || S_ISLNK(st->st_mode) ||
        (last == LastLink::Keep && from.isForeignEntry(*st)))
        raise(ErrFileNotFound);
    UniqueFd file(openRegularFile(from, O_RDONLY, 0, last));
    if (file.fd < 0)
        raise(ErrPathFileAccess);
    return file;
}

// The entry itself, for reading its marks; nothing when it is missing or, on the medium, a
// link or a second name of someone's file.
UniqueFd ownEntry(const Location& at) {
    const LastLink follow = at.ownFileLinks();
    const std::optional<struct stat> st = at.status(follow);
    if (!st || at.isForeignEntry(*st))
        return UniqueFd();
    return UniqueFd(at.open(O_PATH, 0, follow));
}

} // namespace

bool matchesWildcard(const QString& pattern, const QString& name) {
    if (globMatch(pattern, name))
        return true;
    if (pattern.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')))
        return globMatch(QStringView(pattern).chopped(2), name);
    if (pattern.endsWith(QLatin1Char('.')) && pattern != QLatin1String(".") &&
        !name.contains(QLatin1Char('.')))
        return globMatch(QStringView(pattern).chopped(1), name);
    return false;
}

QString findFirstFile(const QString& pattern, int attributes) {
    const Location at = Location::of(pattern);
    const QString wanted =
        at.name().isEmpty() ? QStringLiteral("*.*") : QFile::decodeName(at.name());
    QString found;
    forEachEntry(at.folder(), [&](const QByteArray& hostName, const QString& name) {
        // Only files and folders count: a dangling link, a pipe or a device is passed over
        // and never opened (opening a pipe without a writer would wait for ever).
        if (!matchesWildcard(wanted, name))
            return true;
        const mode_t type = typeOf(at.statusOf(hostName, LastLink::Follow));
        if (type != S_IFREG && type != S_IFDIR)
            return true;
        const UniqueFd entry(at.openEntry(hostName, O_PATH, 0, LastLink::Follow));
        int attrs = 0;
        try {
            attrs = attributesOf(entry.fd);
        } catch (const RuntimeError&) {
            return true; // gone meanwhile
        }
        if ((attrs & (AttrHidden | AttrSystem | AttrDirectory) & ~attributes) != 0)
            return true;
        found = name;
        return false;
    });
    return found;
}

void deleteFiles(const QString& pattern) {
    const Location at = Location::of(pattern);
    if (at.name().isEmpty())
        raise(ErrFileNotFound);
    if (!at.folderExists())
        raise(ErrPathNotFound);

    WriteBatch::noteWrite(at.folder());
    // One entry of the held folder; folders are never deleted, nor what a link names.
    auto deleteEntry = [&](const QByteArray& name) {
        const std::optional<struct stat> st = at.statusOf(name, LastLink::Follow);
        if (typeOf(st) == S_IFDIR)
            return false;
        if (st && isReadOnly(*st))
            raise(ErrPathFileAccess);
        if (::unlinkat(at.folder(), name.constData(), 0) != 0)
            raiseErrno(errno);
        return true;
    };
    bool deleted = false;
    const QString wanted = QFile::decodeName(at.name());
    if (hasWildcard(wanted)) {
        // Deleted while the folder is listed, in the folder's own order.
        forEachEntry(at.folder(), [&](const QByteArray& hostName, const QString& name) {
            if (matchesWildcard(wanted, name) && deleteEntry(hostName))
                deleted = true;
            return true;
        });
    } else if (at.status(LastLink::Keep)) {
        deleted = deleteEntry(at.name());
    }
    if (!deleted)
        raise(ErrFileNotFound);
}

// A source that another program rewrote, cut or extended while it was copied.
bool changedSince(int fd, const struct stat& before) {
    struct stat now {};
    return ::fstat(fd, &now) != 0 || now.st_size != before.st_size ||
           now.st_mtim.tv_sec != before.st_mtim.tv_sec ||
           now.st_mtim.tv_nsec != before.st_mtim.tv_nsec;
}

void copyFile(const QString& source, const QString& destination, const CopyProgress& progress) {
    const Location from = Location::of(source);
    // Both ends resolved before the source is opened, for the write batch's look at them; a
    // bad destination is still told after a missing source.
    std::optional<Location> resolved;
    std::exception_ptr badDestination;
    try {
        resolved.emplace(Location::of(destination));
    } catch (const RuntimeError&) {
        badDestination = std::current_exception();
    }
    WriteBatch::settleBeforeCopy(from, resolved ? &*resolved : nullptr);
    const UniqueFd in = openExistingFile(from, LastLink::Follow);
    struct stat srcStat {};
    if (::fstat(in.fd, &srcStat) != 0)
        raiseErrno(errno);
    if (badDestination)
        std::rethrow_exception(badDestination);
    const Location& to = *resolved;
    const std::optional<struct stat> replaced = entryToReplace(to);
    const bool replacing = replaced.has_value();
    requireRoomFor(to, srcStat.st_size);
    // Only a link needs a second look for what it names; a missing name names nothing.
    if (const std::optional<struct stat> dstStat =
            replaced && S_ISLNK(replaced->st_mode) ? to.status(LastLink::Follow) : replaced;
        dstStat && FileId::of(*dstStat) == FileId::of(srcStat))
        raise(ErrPathFileAccess);

    const int attributes = attributesOf(in.fd);
    TempBeside temp(to);
    // A copy that is stopped leaves no temporary file and the destination as it was.
    copyContents(in.fd, temp.fd(), srcStat.st_size, progress);
    if (changedSince(in.fd, srcStat))
        raise(ErrPathFileAccess);
    // The copy keeps the source's permission bits as far as the umask allows (a program stays
    // runnable), but never set-user-ID, set-group-ID or sticky; read-only is set only once
    // the copy is in place.
    ::fchmod(temp.fd(), (srcStat.st_mode & 0777 & ~processUmask()) | S_IWUSR);
    if (attributes & (AttrHidden | AttrSystem))
        setAttributesOf(temp.fd(), attributes & (AttrHidden | AttrSystem));
    // Within a run, every copy waits, written, for the batch's flush before its rename: a stick
    // pulled during the writes leaves whole temporaries (which the next sweep removes), never a
    // half-written entry under a name of the list.
    if (temp.queueInBatch(replaced ? std::optional(FileId::of(*replaced)) : std::nullopt,
                          attributes, srcStat.st_size))
        return;
    temp.commit(replacing ? NameWas::Taken : NameWas::Free);
    if (attributes & AttrReadOnly)
        setAttributesOf(temp.fd(), attributes);
}

void makeDirectory(const QString& path) {
    const Location at = Location::of(path);
    if (at.name().isEmpty())
        raise(ErrPathFileAccess);
    if (!at.folderExists())
        raise(ErrPathNotFound);
    if (at.status(LastLink::Keep))
        raise(ErrPathFileAccess);
    if (::mkdirat(at.folder(), at.name().constData(), 0777) != 0)
        raise(errno == ENOENT ? ErrPathNotFound : errorFromErrno(errno));
    WriteBatch::noteWrite(at.folder());
}

bool ownEntryExists(const QString& path) {
    try {
        return ownEntry(Location::of(path)).fd >= 0;
    } catch (const RuntimeError&) {
        return false;
    }
}

bool isForeignEntryOnMedium(const QString& path) {
    try {
        const Location at = Location::of(path);
        const std::optional<struct stat> st = at.status(LastLink::Keep);
        return st && at.isForeignEntry(*st);
    } catch (const RuntimeError&) {
        return false;
    }
}

bool isSameFile(const QString& first, const QString& second) {
    try {
        const std::optional<struct stat> a = Location::of(first).status(LastLink::Follow);
        const std::optional<struct stat> b = Location::of(second).status(LastLink::Follow);
        return a && b && FileId::of(*a) == FileId::of(*b);
    } catch (const RuntimeError&) {
        return false;
    }
}

int getAttributes(const QString& path) {
    const UniqueFd entry = ownEntry(Location::of(path));
    if (entry.fd < 0)
        raise(ErrFileNotFound);
    return attributesOf(entry.fd);
}

void setAttributes(const QString& path, int attributes) {
    const Location at = Location::of(path);
    const std::optional<struct stat> st = at.status(LastLink::Keep);
    // Never through a link, on any drive.
    if (!st || S_ISLNK(st->st_mode) || at.isForeignEntry(*st))
        raise(ErrFileNotFound);
    const UniqueFd entry(at.open(O_PATH, 0, LastLink::Keep));
    if (entry.fd < 0)
        raise(ErrFileNotFound);
    setAttributesOf(entry.fd, attributes);
}

namespace {

// At most `maxBytes` of an open file, never more even from one that grows while it is read:
// one byte past the limit tells that there is more. `size` is what fstat said.
QByteArray readAtMost(int fd, qint64 size, qint64 maxBytes, bool& whole) {
    QByteArray contents(qsizetype(std::min(size, maxBytes) + 1), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < contents.size()) {
        const ssize_t n = readFully(fd, contents.data() + done, size_t(contents.size() - done));
        if (n < 0)
            raise(ErrDiskNotReady);
        if (n == 0)
            break;
        done += n;
        if (done == contents.size() && done <= maxBytes) // it grew since it was looked at
            contents.resize(qsizetype(std::min<qint64>(maxBytes, 2 * done) + 1));
    }
    whole = done <= maxBytes;
    contents.truncate(qsizetype(std::min<qint64>(done, maxBytes)));
    return contents;
}

struct OpenedFile {
    UniqueFd file;
    qint64 size;
};

OpenedFile openToRead(const QString& path) {
    const Location at = Location::of(path);
    UniqueFd file = openExistingFile(at, at.ownFileLinks());
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        raise(ErrDiskNotReady);
    return {std::move(file), qint64(st.st_size)};
}

} // namespace

QByteArray readFile(const QString& path, qint64 maxBytes) {
    const OpenedFile opened = openToRead(path);
    if (opened.size > maxBytes)
        raise(ErrOutOfMemory); // not read at all
    bool whole = true;
    QByteArray contents = readAtMost(opened.file.fd, opened.size, maxBytes, whole);
    if (!whole)
        raise(ErrOutOfMemory);
    return contents;
}

QByteArray readFileStart(const QString& path, qint64 maxBytes, bool& whole) {
    const OpenedFile opened = openToRead(path);
    return readAtMost(opened.file.fd, opened.size, maxBytes, whole);
}

void writeFileReplacing(const QString& path, const QByteArray& contents) {
    const Location to = Location::of(path);
    const std::optional<struct stat> replaced = entryToReplace(to);
    // The old file's mode and marks carry over; a link in its place passes on nothing.
    const bool carriesOver =
        replaced && S_ISREG(replaced->st_mode) && !to.isForeignEntry(*replaced);
    int attributes = 0;
    if (carriesOver) {
        const UniqueFd entry(to.open(O_PATH, 0, LastLink::Keep));
        attributes = entry.fd >= 0 ? attributesOf(entry.fd) : 0;
    }
    TempBeside temp(to);
    writeAll(temp.fd(), contents.constData(), contents.size());
    if (carriesOver) {
        ::fchmod(temp.fd(), replaced->st_mode & 0777);
        if (attributes & (AttrHidden | AttrSystem))
            setAttributesOf(temp.fd(), attributes);
    }
    temp.commit(replaced ? NameWas::Taken : NameWas::Free);
}

} // namespace host
