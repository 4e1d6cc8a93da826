// SPDX-License-Identifier: MIT
#include "FileSystem.h"

#include "DosPath.h"
#include "Fd.h"
#include "Prefix.h"
#include "RegularFile.h"
#include "RuntimeError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statfs.h>
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

// The host directory and the last component of a DOS path.
struct Split {
    QString hostDir;
    QString name;
    bool onMedium = false;
};

Split splitLast(const QString& dosPath) {
    DosPath parsed = parseDosPath(dosPath);
    Split split;
    if (!parsed.components.isEmpty())
        split.name = parsed.components.takeLast();
    split.hostDir = toHostPath(parsed);
    split.onMedium = isOnMedium(parsed);
    return split;
}

// Walks a host folder by the bytes the host names its entries with, so that a name that is
// not valid in the locale's encoding is still found. `visit` gets the entry's host path, its
// name for matching and its type (following links; 0 for a dangling link) and returns false
// to stop. Nothing is opened.
template <class Visit> void forEachEntry(const QString& hostDir, Visit visit) {
    const QByteArray dir = QFile::encodeName(hostDir);
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(dir.constData()), &::closedir);
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        const mode_t type =
            ::fstatat(::dirfd(listing.get()), entry->d_name, &st, 0) == 0 ? st.st_mode & S_IFMT : 0;
        if (!visit(dir + '/' + name, QFile::decodeName(name), type))
            return;
    }
}

struct HostEntry {
    QByteArray path;
    QString name;
    friend bool operator<(const HostEntry& a, const HostEntry& b) { return a.path < b.path; }
};

// The host path of a DOS path, and whether links there may be followed: on the medium, the
// program's own files are never reached through one.
struct Resolved {
    QString hostPath;
    bool followLinks = true;
};

Resolved resolve(const QString& dosPath) {
    const DosPath parsed = parseDosPath(dosPath);
    if (isOnMedium(parsed))
        return {toHostPathOfEntry(parsed), false};
    return {toHostPath(parsed), true};
}

bool isLink(const QString& hostPath) {
    const std::optional<struct stat> st = statOf(QFile::encodeName(hostPath), false);
    return st && S_ISLNK(st->st_mode);
}

// A link on the medium that the program must not go through counts as no entry.
bool isUnfollowedLink(const Resolved& file) {
    return !file.followLinks && isLink(file.hostPath);
}

QString existingHostFile(const Resolved& file) {
    const std::optional<struct stat> st =
        statOf(QFile::encodeName(file.hostPath), file.followLinks);
    if (!st)
        raise(QFileInfo(file.hostPath).dir().exists() ? ErrFileNotFound : ErrPathNotFound);
    if (S_ISDIR(st->st_mode) || S_ISLNK(st->st_mode))
        raise(ErrFileNotFound);
    return file.hostPath;
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
    QByteArray buffer(1 << 16, Qt::Uninitialized);
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

void removeStaleTemporariesOnce(const QString& hostDir) {
    static QMutex mutex;
    static QSet<QString> swept;
    {
        const QMutexLocker lock(&mutex);
        const QString key = QFileInfo(hostDir).canonicalFilePath();
        if (key.isEmpty() || swept.contains(key))
            return;
        swept.insert(key);
    }
    forEachEntry(hostDir, [](const QByteArray& path, const QString& name, mode_t type) {
        const QRegularExpressionMatch match = temporaryName().match(name);
        bool ok = false;
        const qint64 pid = match.hasMatch() ? match.captured(1).toLongLong(&ok) : 0;
        // Only a file whose creator has ended; another running instance's file stays.
        if (type == S_IFREG && ok && pid > 0 && pid <= INT_MAX && ::kill(pid_t(pid), 0) != 0 &&
            errno == ESRCH)
            ::unlink(path.constData());
        return true;
    });
}

// A file system that has nothing to flush, or no way to (some FUSE drivers).
bool cannotSync(int err) {
    return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP;
}

// A temporary file beside `target`, removed again unless committed by a rename. POSIX, not
// QSaveFile: its name carries our pid for the stale sweep, copies go by copy_file_range into its
// descriptor, and the errno of each step must survive to tell 61, 70, 71 and 75 apart.
class TempBeside {
public:
    explicit TempBeside(const QString& target) : m_target(target) {
        const QString dir = QFileInfo(target).absolutePath();
        removeStaleTemporariesOnce(dir);
        for (int attempt = 0; attempt < 100 && m_fd.fd < 0; ++attempt) {
            m_path = dir + QStringLiteral("/.vrtl-%1-%2.tmp")
                               .arg(::getpid())
                               .arg(QRandomGenerator::global()->bounded(1u << 30), 0, 36);
            m_fd.reset(::open(QFile::encodeName(m_path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (m_fd.fd < 0 && errno != EEXIST)
                raise(errno == ENOENT ? ErrPathNotFound : errorFromErrno(errno));
        }
        if (m_fd.fd < 0)
            raise(ErrPathFileAccess);
    }
    TempBeside(const TempBeside&) = delete;
    TempBeside& operator=(const TempBeside&) = delete;
    ~TempBeside() {
        m_fd.reset();
        if (!m_committed)
            ::unlink(QFile::encodeName(m_path).constData());
    }
    int fd() const { return m_fd.fd; }
    const QString& path() const { return m_path; }

    // Durable before it is reported done: the contents reach the medium before the rename,
    // and the rename itself before success, so a stick pulled right afterwards holds the new
    // file or the old one, never an empty one.
    void commit() {
        if (::fdatasync(m_fd.fd) != 0 && !cannotSync(errno))
            raiseErrno(errno);
        if (::close(m_fd.release()) != 0)
            raiseErrno(errno);
        if (::rename(QFile::encodeName(m_path).constData(),
                     QFile::encodeName(m_target).constData()) != 0)
            raiseErrno(errno);
        m_committed = true;
        const UniqueFd dir(::open(QFile::encodeName(QFileInfo(m_target).absolutePath()).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.fd >= 0 && ::fsync(dir.fd) != 0 && !cannotSync(errno))
            raiseErrno(errno);
    }

private:
    QString m_target;
    QString m_path;
    UniqueFd m_fd;
    bool m_committed = false;
};

bool hasWildcard(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// Resolves a destination file whose directory must exist and which, when present, must be a
// writable file.
QString writableDestination(const QString& dosPath) {
    const Split split = splitLast(dosPath);
    if (split.name.isEmpty() || hasWildcard(split.name))
        raise(ErrBadFileNameOrNumber);
    if (!QFileInfo(split.hostDir).isDir())
        raise(ErrPathNotFound);
    const QString match = matchEntry(split.hostDir, split.name);
    const QString hostPath =
        split.hostDir + QLatin1Char('/') + (match.isEmpty() ? split.name : match);
    if (!match.isEmpty()) {
        // A link on the medium is replaced itself, and nothing is asked of what it names.
        if (split.onMedium && isLink(hostPath))
            return hostPath;
        // Only a regular file is replaced: not a folder, and not a pipe or a device.
        const std::optional<struct stat> st = statOf(QFile::encodeName(hostPath));
        if ((st && !S_ISREG(st->st_mode)) || hostIsReadOnly(hostPath))
            raise(ErrPathFileAccess);
    }
    return hostPath;
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

void syncDrive(QChar letter) {
    const UniqueFd root(::open(QFile::encodeName(driveRoot(letter)).constData(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.fd < 0 || (::syncfs(root.fd) != 0 && !cannotSync(errno)))
        raiseErrno(errno);
}

std::optional<MediumIdentity> mediumIdentity(QChar letter) {
    try {
        const QByteArray root = QFile::encodeName(driveRoot(letter));
        struct stat st {};
        struct statfs fs {};
        if (::stat(root.constData(), &st) != 0 || ::statfs(root.constData(), &fs) != 0)
            return std::nullopt;
        quint64 fsid = 0;
        std::memcpy(&fsid, &fs.f_fsid, std::min(sizeof fsid, sizeof fs.f_fsid));
        return MediumIdentity{quint64(st.st_dev), quint64(st.st_ino), fsid};
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

void removeStaleTemporaries(const QString& folder) {
    removeStaleTemporariesOnce(toHostPath(folder));
}

QString findFirstFile(const QString& pattern, int attributes) {
    const Split split = splitLast(pattern);
    const QString wanted = split.name.isEmpty() ? QStringLiteral("*.*") : split.name;
    QString found;
    forEachEntry(split.hostDir, [&](const QByteArray& path, const QString& name, mode_t type) {
        // Only files and folders count: a dangling link, a pipe or a device is passed over
        // and never opened (opening a pipe without a writer would wait for ever).
        if ((type != S_IFREG && type != S_IFDIR) || !matchesWildcard(wanted, name))
            return true;
        int attrs = 0;
        try {
            attrs = hostAttributes(QFile::decodeName(path));
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
    const Split split = splitLast(pattern);
    if (split.name.isEmpty())
        raise(ErrFileNotFound);
    if (!QFileInfo(split.hostDir).isDir())
        raise(ErrPathNotFound);

    // Host paths as bytes: a name that is not valid in the locale's encoding is still deleted.
    QList<QByteArray> targets;
    if (hasWildcard(split.name)) {
        QList<HostEntry> matches;
        forEachEntry(split.hostDir, [&](const QByteArray& path, const QString& name, mode_t type) {
            if (type != S_IFDIR && matchesWildcard(split.name, name))
                matches.append({path, name});
            return true;
        });
        std::sort(matches.begin(), matches.end());
        for (const HostEntry& match : matches)
            targets.append(match.path);
    } else {
        const QString match = matchEntry(split.hostDir, split.name);
        if (!match.isEmpty() && !QFileInfo(split.hostDir + QLatin1Char('/') + match).isDir())
            targets.append(QFile::encodeName(split.hostDir + QLatin1Char('/') + match));
    }
    if (targets.isEmpty())
        raise(ErrFileNotFound);
    for (const QByteArray& target : targets) {
        if (hostIsReadOnly(target))
            raise(ErrPathFileAccess);
        if (::unlink(target.constData()) != 0)
            raiseErrno(errno);
    }
}

// A source that another program rewrote, cut or extended while it was copied.
bool changedSince(int fd, const struct stat& before) {
    struct stat now {};
    return ::fstat(fd, &now) != 0 || now.st_size != before.st_size ||
           now.st_mtim.tv_sec != before.st_mtim.tv_sec ||
           now.st_mtim.tv_nsec != before.st_mtim.tv_nsec;
}

void copyFile(const QString& source, const QString& destination, const CopyProgress& progress) {
    const QString from = existingHostFile({toHostPath(source), true});
    const QString to = writableDestination(destination);

    UniqueFd in(openRegularFile(QFile::encodeName(from), O_RDONLY));
    if (in.fd < 0)
        raiseErrno(errno);
    struct stat srcStat {};
    if (::fstat(in.fd, &srcStat) != 0)
        raiseErrno(errno);
    if (const std::optional<struct stat> dstStat = statOf(QFile::encodeName(to));
        dstStat && dstStat->st_dev == srcStat.st_dev && dstStat->st_ino == srcStat.st_ino)
        raise(ErrPathFileAccess);

    const int attributes = hostAttributes(from);
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
        setHostAttributes(temp.path(), attributes & (AttrHidden | AttrSystem));
    temp.commit();
    if (attributes & AttrReadOnly)
        setHostAttributes(to, attributes);
}

void makeDirectory(const QString& path) {
    const Split split = splitLast(path);
    if (split.name.isEmpty())
        raise(ErrPathFileAccess);
    if (!QFileInfo(split.hostDir).isDir())
        raise(ErrPathNotFound);
    if (!matchEntry(split.hostDir, split.name).isEmpty())
        raise(ErrPathFileAccess);
    const QString hostPath = split.hostDir + QLatin1Char('/') + split.name;
    if (::mkdir(QFile::encodeName(hostPath).constData(), 0777) != 0)
        raise(errno == ENOENT ? ErrPathNotFound : errorFromErrno(errno));
}

bool fileExists(const QString& path) {
    try {
        const Resolved file = resolve(path);
        return QFileInfo::exists(file.hostPath) && !isUnfollowedLink(file);
    } catch (const RuntimeError&) {
        return false;
    }
}

bool isSameFile(const QString& first, const QString& second) {
    try {
        const std::optional<struct stat> a = statOf(QFile::encodeName(toHostPath(first)));
        const std::optional<struct stat> b = statOf(QFile::encodeName(toHostPath(second)));
        return a && b && a->st_dev == b->st_dev && a->st_ino == b->st_ino;
    } catch (const RuntimeError&) {
        return false;
    }
}

int getAttributes(const QString& path) {
    const Resolved file = resolve(path);
    if (!QFileInfo::exists(file.hostPath) || isUnfollowedLink(file))
        raise(ErrFileNotFound);
    return hostAttributes(file.hostPath);
}

void setAttributes(const QString& path, int attributes) {
    const Resolved file = resolve(path);
    if (!QFileInfo::exists(file.hostPath))
        raise(ErrFileNotFound);
    setHostAttributes(file.hostPath, attributes); // never through a link
}

QByteArray readFile(const QString& path, qint64 maxBytes) {
    const Resolved resolved = resolve(path);
    const QString hostPath = existingHostFile(resolved);
    UniqueFd file(openRegularFile(QFile::encodeName(hostPath), O_RDONLY, 0, resolved.followLinks));
    if (file.fd < 0)
        raise(ErrPathFileAccess);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        raise(ErrDiskNotReady);
    if (st.st_size > maxBytes)
        raise(ErrOutOfMemory);
    // Never more than the limit, even from a file that grows while it is read.
    QByteArray contents;
    contents.reserve(qsizetype(st.st_size));
    char buffer[1 << 16];
    while (const ssize_t n = readFully(file.fd, buffer, sizeof buffer)) {
        if (n < 0)
            raise(ErrDiskNotReady);
        contents.append(buffer, n);
        if (contents.size() > maxBytes)
            raise(ErrOutOfMemory);
    }
    return contents;
}

void writeFileReplacing(const QString& path, const QByteArray& contents) {
    const QString to = writableDestination(path);
    // The old file's mode and marks carry over; a link in its place passes on nothing.
    std::optional<struct stat> old = statOf(QFile::encodeName(to), false);
    if (old && !S_ISREG(old->st_mode))
        old.reset();
    TempBeside temp(to);
    writeAll(temp.fd(), contents.constData(), contents.size());
    if (old) {
        ::fchmod(temp.fd(), old->st_mode & 0777);
        const int attributes = hostAttributes(to);
        if (attributes & (AttrHidden | AttrSystem))
            setHostAttributes(temp.path(), attributes);
    }
    temp.commit();
}

} // namespace host
