#include "FileSystem.h"

#include "DosPath.h"
#include "RuntimeError.h"
#include "UniqueFd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
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
};

Split splitLast(const QString& dosPath) {
    DosPath parsed = parseDosPath(dosPath);
    Split split;
    if (!parsed.components.isEmpty())
        split.name = parsed.components.takeLast();
    split.hostDir = toHostPath(parsed);
    return split;
}

// An entry of a host folder: its path as the host spells it, and its name for matching.
struct HostEntry {
    QByteArray path;
    QString name;
};

// Everything in a folder that is not a folder itself (dangling links included), by name.
QList<HostEntry> fileEntries(const QString& hostDir) {
    QList<HostEntry> entries;
    const QByteArray dir = QFile::encodeName(hostDir);
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(dir.constData()), &::closedir);
    if (!listing)
        return entries;
    while (const dirent* entry = ::readdir(listing.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(listing.get()), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode))
            continue;
        entries.append({dir + '/' + name, QFile::decodeName(name)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const HostEntry& a, const HostEntry& b) { return a.path < b.path; });
    return entries;
}

struct stat statPath(const QString& hostPath, bool& exists) {
    struct stat st {};
    exists = ::stat(QFile::encodeName(hostPath).constData(), &st) == 0;
    return st;
}

QString existingHostFile(const QString& dosPath) {
    const QString hostPath = toHostPath(dosPath);
    bool exists = false;
    const struct stat st = statPath(hostPath, exists);
    if (!exists)
        raise(QFileInfo(hostPath).dir().exists() ? ErrFileNotFound : ErrPathNotFound);
    if (S_ISDIR(st.st_mode))
        raise(ErrFileNotFound);
    return hostPath;
}

void writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseErrno(errno);
        }
        data += n;
        size -= n;
    }
}

// Copies the rest of one open file into another: in the kernel where it can, else by reads
// and writes.
void copyContents(int from, int to) {
    for (;;) {
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (n > 0)
            continue;
        if (n == 0)
            return;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            raiseErrno(errno);
        break;
    }
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), size_t(buffer.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseErrno(errno);
        }
        if (n == 0)
            return;
        writeAll(to, buffer.constData(), n);
    }
}

// A temporary file beside `target`, removed again unless committed by a rename.
class TempBeside {
public:
    explicit TempBeside(const QString& target) : m_target(target) {
        const QString dir = QFileInfo(target).absolutePath();
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            m_path = dir + QStringLiteral("/.vrtl%1.tmp")
                               .arg(QRandomGenerator::global()->bounded(1u << 30), 0, 36);
            m_fd = ::open(QFile::encodeName(m_path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                raise(errno == ENOENT ? ErrPathNotFound : errorFromErrno(errno));
        }
        if (m_fd < 0)
            raise(ErrPathFileAccess);
    }
    TempBeside(const TempBeside&) = delete;
    TempBeside& operator=(const TempBeside&) = delete;
    ~TempBeside() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_committed)
            ::unlink(QFile::encodeName(m_path).constData());
    }
    int fd() const { return m_fd; }
    const QString& path() const { return m_path; }

    void commit() {
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0)
            raiseErrno(errno);
        if (::rename(QFile::encodeName(m_path).constData(),
                     QFile::encodeName(m_target).constData()) != 0)
            raiseErrno(errno);
        m_committed = true;
    }

private:
    QString m_target;
    QString m_path;
    int m_fd = -1;
    bool m_committed = false;
};

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
        if (QFileInfo(hostPath).isDir() || hostIsReadOnly(hostPath))
            raise(ErrPathFileAccess);
    }
    return hostPath;
}

} // namespace

bool hasWildcard(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

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

QStringList findFiles(const QString& pattern, int attributes) {
    const Split split = splitLast(pattern);
    const QString wanted = split.name.isEmpty() ? QStringLiteral("*.*") : split.name;
    QStringList names;
    const QStringList entries =
        QDir(split.hostDir)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    for (const QString& entry : entries) {
        if (!matchesWildcard(wanted, entry))
            continue;
        int attrs = 0;
        try {
            attrs = hostAttributes(split.hostDir + QLatin1Char('/') + entry);
        } catch (const RuntimeError&) {
            continue; // a dangling link is no file
        }
        const int extra = attrs & (AttrHidden | AttrSystem | AttrDirectory);
        if ((extra & ~attributes) == 0)
            names.append(entry);
    }
    return names;
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
        for (const HostEntry& entry : fileEntries(split.hostDir)) {
            if (matchesWildcard(split.name, entry.name))
                targets.append(entry.path);
        }
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

void copyFile(const QString& source, const QString& destination) {
    const QString from = existingHostFile(source);
    const QString to = writableDestination(destination);

    UniqueFd in(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0)
        raiseErrno(errno);
    struct stat srcStat {};
    if (::fstat(in.fd, &srcStat) != 0)
        raiseErrno(errno);
    struct stat dstStat {};
    if (::stat(QFile::encodeName(to).constData(), &dstStat) == 0 &&
        dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino)
        raise(ErrPathFileAccess);

    const int attributes = hostAttributes(from);
    TempBeside temp(to);
    copyContents(in.fd, temp.fd());
    // The copy keeps the source's permissions (a program stays runnable); read-only is set
    // only once the copy is in place.
    ::fchmod(temp.fd(), (srcStat.st_mode & 07777) | S_IWUSR);
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
        return QFileInfo::exists(toHostPath(path));
    } catch (const RuntimeError&) {
        return false;
    }
}

bool isSameFile(const QString& first, const QString& second) {
    try {
        struct stat a {
        }, b{};
        return ::stat(QFile::encodeName(toHostPath(first)).constData(), &a) == 0 &&
               ::stat(QFile::encodeName(toHostPath(second)).constData(), &b) == 0 &&
               a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    } catch (const RuntimeError&) {
        return false;
    }
}

qint64 fileLength(const QString& path) {
    return QFileInfo(existingHostFile(path)).size();
}

int getAttributes(const QString& path) {
    const QString hostPath = toHostPath(path);
    if (!QFileInfo::exists(hostPath))
        raise(ErrFileNotFound);
    return hostAttributes(hostPath);
}

void setAttributes(const QString& path, int attributes) {
    const QString hostPath = toHostPath(path);
    if (!QFileInfo::exists(hostPath))
        raise(ErrFileNotFound);
    setHostAttributes(hostPath, attributes);
}

QByteArray readFile(const QString& path) {
    const QString hostPath = existingHostFile(path);
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        raise(ErrPathFileAccess);
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raise(ErrDiskNotReady);
    return contents;
}

void writeFileReplacing(const QString& path, const QByteArray& contents) {
    const QString to = writableDestination(path);
    bool exists = false;
    const struct stat old = statPath(to, exists);
    TempBeside temp(to);
    writeAll(temp.fd(), contents.constData(), contents.size());
    if (exists) {
        ::fchmod(temp.fd(), old.st_mode & 07777);
        const int attributes = hostAttributes(to);
        if (attributes & (AttrHidden | AttrSystem))
            setHostAttributes(temp.path(), attributes);
    }
    temp.commit();
}

} // namespace host
