// SPDX-License-Identifier: MIT
#include "FileSystem.h"

#include "Fd.h"
#include "Location.h"
#include "RegularFile.h"
#include "RuntimeError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <exception>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace host {
namespace {

thread_local WriteBatch* t_batch = nullptr;

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

// Temporary files are named ".vrtl-<creator's process id>-<random>.tmp", so that one left
// behind by a killed run or a pulled stick can be recognised and removed later.
const QRegularExpression& temporaryName() {
    static const QRegularExpression name(QStringLiteral("^\\.vrtl-([0-9]+)-[0-9a-z]+\\.tmp$"));
    return name;
}

void removeStaleTemporariesOnce(int folder) {
    static QMutex mutex;
    static QSet<QByteArray> swept;
    // Keyed by where the folder is now, as the kernel names the held descriptor.
    char where[PATH_MAX] = {};
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(folder);
    if (::readlink(proc.constData(), where, sizeof where - 1) < 0)
        return;
    {
        const QMutexLocker lock(&mutex);
        if (swept.contains(where))
            return;
        swept.insert(where);
    }
    forEachEntry(folder, [folder](const QByteArray& hostName, const QString& name) {
        const QRegularExpressionMatch match = temporaryName().match(name);
        bool ok = false;
        const qint64 pid = match.hasMatch() ? match.captured(1).toLongLong(&ok) : 0;
        struct stat entry {};
        // Only a file whose creator has ended; another running instance's file stays.
        if (ok && pid > 0 && pid <= INT_MAX &&
            ::fstatat(folder, hostName.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(entry.st_mode) && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(folder, hostName.constData(), 0);
        return true;
    });
}

// A file system that has nothing to flush, or no way to (some FUSE drivers).
bool cannotSync(int err) {
    return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP;
}

// Renames a written temporary (`file`) onto its name. Onto a name that was free when the copy
// began, it never replaces anything unasked (RENAME_NOREPLACE, where the file system takes it):
// a file made there meanwhile is replaced only as any replaced file is, once the copy is on the
// medium, and one that is read-only, or no regular file, is refused (75).
void renameOnto(int folder, const QByteArray& temporary, const QByteArray& target, bool wasFree,
                int file) {
    if (wasFree) {
        if (::renameat2(folder, temporary.constData(), folder, target.constData(),
                        RENAME_NOREPLACE) == 0)
            return;
        if (errno == EEXIST) {
            struct stat st {};
            if (::fstatat(folder, target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                (!S_ISREG(st.st_mode) || !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))))
                raise(ErrPathFileAccess);
            if (::fdatasync(file) != 0 && !cannotSync(errno))
                raiseErrno(errno);
        } else if (errno != EINVAL && errno != ENOSYS) {
            raiseErrno(errno);
        }
    }
    if (::renameat(folder, temporary.constData(), folder, target.constData()) != 0)
        raiseErrno(errno);
}

// At most this much of a run's replacing copies waits for one settle; a larger copy pays for
// its own flush anyway, and a pulled stick loses no more finished work than this.
constexpr qint64 kMostWaitingBytes = 16 << 20;
constexpr size_t kMostWaiting = 64; // two descriptors each

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

struct WriteBatch::Waiting {
    UniqueFd folder;      // the target's held folder
    QByteArray temporary; // the written copy's name there
    QByteArray target;    // the name it goes to
    UniqueFd file;        // the copy, for its flush and its read-only mark
    int marksAfter = 0;   // read-only goes on once in place
    struct stat folderStat {};
    struct stat replaced {}; // the entry in the target's place
    qint64 bytes = 0;
    int step = -1;

    Waiting() = default;
    Waiting(Waiting&&) noexcept = default;
    ~Waiting() {
        if (!temporary.isEmpty())
            ::unlinkat(folder.fd, temporary.constData(), 0);
    }
};

namespace {

// A temporary file in the target's held folder, removed again unless committed by a rename onto
// the target's name there. POSIX, not QSaveFile: its name carries our pid for the stale sweep,
// copies go by copy_file_range into its descriptor, it is made and renamed only through the held
// folder, and the errno of each step must survive to tell 61, 70, 71 and 75 apart.
class TempBeside {
public:
    explicit TempBeside(const Location& target)
        : m_folder(::fcntl(target.folder(), F_DUPFD_CLOEXEC, 0)), m_target(target.name()) {
        if (m_folder.fd < 0)
            raise(ErrPathNotFound);
        removeStaleTemporariesOnce(m_folder.fd);
        for (int attempt = 0; attempt < 100 && m_fd.fd < 0; ++attempt) {
            m_name = QStringLiteral(".vrtl-%1-%2.tmp")
                         .arg(::getpid())
                         .arg(QRandomGenerator::global()->bounded(1u << 30), 0, 36)
                         .toLatin1();
            m_fd.reset(::openat(m_folder.fd, m_name.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (m_fd.fd < 0 && errno != EEXIST)
                raise(errno == ENOENT ? ErrPathNotFound : errorFromErrno(errno));
        }
        if (m_fd.fd < 0)
            raise(ErrPathFileAccess);
    }
    TempBeside(const TempBeside&) = delete;
    TempBeside& operator=(const TempBeside&) = delete;
    ~TempBeside() {
        if (!m_committed)
            ::unlinkat(m_folder.fd, m_name.constData(), 0);
    }
    // Stays the file's own descriptor after the rename, so that what follows it (the read-only
    // mark) lands on the file that was put in place.
    int fd() const { return m_fd.fd; }

    // Durable before it is reported done: a file that is replaced gets the new contents on
    // the medium before the rename, so a stick pulled at any moment holds the old file or the
    // new one, never an empty one. Within a write batch a new name waits for the batch's one
    // sync (nothing of the user's is lost there) and only starts its writeback; alone, the
    // contents and the rename are flushed before success.
    void commit(bool replacing) {
        if (t_batch && !replacing)
            ::sync_file_range(m_fd.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        else if (::fdatasync(m_fd.fd) != 0 && !cannotSync(errno))
            raiseErrno(errno);
        renameOnto(m_folder.fd, m_name, m_target, !replacing, m_fd.fd);
        m_committed = true;
        if (t_batch) {
            WriteBatch::noteWrite(m_folder.fd);
            return;
        }
        const UniqueFd dir(::openat(m_folder.fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.fd >= 0 && ::fsync(dir.fd) != 0 && !cannotSync(errno))
            raiseErrno(errno);
    }

    // Within a write batch, a copy that replaces a file is not put in place here: written, with
    // its writeback started, it waits for the batch's next settle, which flushes the waiting
    // copies together before it renames them. False outside a batch.
    bool waitInBatch(const struct stat& replaced, int marksAfter, qint64 bytes) {
        if (!t_batch)
            return false;
        ::sync_file_range(m_fd.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        WriteBatch::Waiting copy;
        if (::fstat(m_folder.fd, &copy.folderStat) != 0)
            raiseErrno(errno);
        copy.replaced = replaced;
        copy.marksAfter = marksAfter;
        copy.bytes = bytes;
        copy.target = m_target;
        copy.file = std::move(m_fd);
        copy.folder = std::move(m_folder);
        copy.temporary = std::exchange(m_name, QByteArray());
        m_committed = true;
        WriteBatch::wait(std::move(copy));
        return true;
    }

private:
    UniqueFd m_folder;
    QByteArray m_target;
    QByteArray m_name;
    UniqueFd m_fd;
    bool m_committed = false;
};

// The stat of no entry, for a copy to a new name.
struct stat noEntry() {
    return {};
}

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

// Checks a destination file: its folder must exist and, where it is present, it must be a
// writable regular file. Returns the entry in its place (not followed), which the write
// replaces; nothing for a new file.
std::optional<struct stat> checkWritableDestination(const Location& to) {
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

WriteBatch::WriteBatch() : m_outer(t_batch) {
    t_batch = this;
}

// The copies still waiting (a batch that was never finished) are dropped with their files.
WriteBatch::~WriteBatch() {
    t_batch = m_outer;
}

void WriteBatch::wait(Waiting&& copy) {
    copy.step = t_batch->m_step;
    t_batch->m_waitingBytes += copy.bytes;
    t_batch->m_waiting.push_back(std::move(copy));
}

void WriteBatch::settleBeforeCopy(const Location& source, const Location* destination) {
    if (!t_batch || t_batch->m_waiting.empty())
        return;
    // Whether a waiting copy goes to this entry: by its folder and name, or by the file in
    // its place (another name of it, or a link to it).
    auto waitsFor = [](const Location& at) {
        struct stat folder {};
        if (!at.folderExists() || ::fstat(at.folder(), &folder) != 0)
            return false;
        const QString name = QFile::decodeName(at.name());
        const std::optional<struct stat> entry = at.status(LastLink::Keep);
        const std::optional<struct stat> file = at.status(LastLink::Follow);
        for (const Waiting& copy : t_batch->m_waiting) {
            if ((sameFile(folder, copy.folderStat) &&
                 QFile::decodeName(copy.target).compare(name, Qt::CaseInsensitive) == 0) ||
                (entry && sameFile(*entry, copy.replaced)) ||
                (file && sameFile(*file, copy.replaced)))
                return true;
        }
        return false;
    };
    const std::optional<struct stat> read = source.status(LastLink::Follow);
    const qint64 bytes = read && S_ISREG(read->st_mode) ? qint64(read->st_size) : 0;
    if (t_batch->m_waiting.size() >= kMostWaiting ||
        t_batch->m_waitingBytes + bytes > kMostWaitingBytes || waitsFor(source) ||
        (destination && waitsFor(*destination)))
        t_batch->settle();
}

void WriteBatch::settle() {
    // The flushes first, so that the medium writes the copies together: one sync of each
    // drive, or on FUSE each file's own flush; then the renames, in the order of the copies.
    m_failedStep = -1;
    std::vector<Waiting> waiting = std::exchange(m_waiting, {});
    m_waitingBytes = 0;
    QSet<quint64> synced;
    for (const Waiting& copy : waiting) {
        struct statfs fs {};
        // A FUSE server's own storage is reached by each file's fsync, and by syncfs only
        // where the server takes FUSE_SYNCFS, which older ones and older kernels do not.
        const bool eachFile = ::fstatfs(copy.file.fd, &fs) != 0 || fs.f_type == FUSE_SUPER_MAGIC;
        if (!eachFile && synced.contains(quint64(copy.folderStat.st_dev)))
            continue;
        synced.insert(quint64(copy.folderStat.st_dev));
        m_failedStep = copy.step; // until it succeeds
        const int rc = eachFile ? ::fdatasync(copy.file.fd) : ::syncfs(copy.file.fd);
        if (rc != 0 && !cannotSync(errno))
            raiseErrno(errno);
    }
    for (Waiting& copy : waiting) {
        m_failedStep = copy.step;
        renameOnto(copy.folder.fd, copy.temporary, copy.target, copy.replaced.st_ino == 0,
                   copy.file.fd);
        copy.temporary.clear();
        noteWrite(copy.folder.fd);
        if (copy.marksAfter & AttrReadOnly)
            setAttributesOf(copy.file.fd, copy.marksAfter);
    }
    m_failedStep = -1;
}

void WriteBatch::noteWrite(int folder) {
    struct stat st {};
    if (!t_batch || ::fstat(folder, &st) != 0)
        return;
    const QByteArray key =
        QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
    for (const auto& [noted, fd] : t_batch->m_folders) {
        if (noted == key)
            return;
    }
    UniqueFd held(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (held.fd >= 0)
        t_batch->m_folders.emplace_back(key, std::move(held));
}

void WriteBatch::finish() {
    // What could be put in place still reaches the medium after a copy that could not.
    std::exception_ptr unsettled;
    try {
        settle();
    } catch (const RuntimeError&) {
        unsettled = std::current_exception();
    }
    int failure = 0;
    auto check = [&](int rc) {
        if (rc != 0 && !cannotSync(errno) && failure == 0)
            failure = errno;
    };
    QSet<quint64> synced;
    for (const auto& [key, folder] : m_folders) {
        check(::fsync(folder.fd));
        struct stat st {};
        if (::fstat(folder.fd, &st) == 0 && !synced.contains(quint64(st.st_dev))) {
            synced.insert(quint64(st.st_dev));
            check(::syncfs(folder.fd));
        }
    }
    m_folders.clear();
    if (unsettled)
        std::rethrow_exception(unsettled);
    if (failure != 0)
        raiseErrno(failure);
}

void removeStaleTemporaries(const QString& folder) {
    const Location at = Location::of(folder);
    const UniqueFd dir(at.open(O_PATH | O_DIRECTORY, 0, LastLink::Follow));
    if (dir.fd >= 0)
        removeStaleTemporariesOnce(dir.fd);
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
    const std::optional<struct stat> replaced = checkWritableDestination(to);
    const bool replacing = replaced.has_value();
    requireRoomFor(to, srcStat.st_size);
    // Only a link needs a second look for what it names; a missing name names nothing.
    if (const std::optional<struct stat> dstStat =
            replaced && S_ISLNK(replaced->st_mode) ? to.status(LastLink::Follow) : replaced;
        dstStat && dstStat->st_dev == srcStat.st_dev && dstStat->st_ino == srcStat.st_ino)
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
    if (temp.waitInBatch(replaced.value_or(noEntry()), attributes, srcStat.st_size))
        return;
    temp.commit(replacing);
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

bool fileExists(const QString& path) {
    try {
        return ownEntry(Location::of(path)).fd >= 0;
    } catch (const RuntimeError&) {
        return false;
    }
}

bool isLinkOnMedium(const QString& path) {
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
        return a && b && a->st_dev == b->st_dev && a->st_ino == b->st_ino;
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
    const std::optional<struct stat> replaced = checkWritableDestination(to);
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
    temp.commit(replaced.has_value());
}

} // namespace host
