// SPDX-License-Identifier: MIT
#include "TempBeside.h"

#include "FileSystem.h"
#include "Location.h"
#include "RuntimeError.h"
#include "WriteBatch.h"

#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace host {
namespace {

// Temporary files are named ".vrtl-<creator's process id>-<random>.tmp", so that one left
// behind by a killed run or a pulled stick can be recognised and removed later.
const QRegularExpression& temporaryName() {
    static const QRegularExpression name(QStringLiteral("^\\.vrtl-([0-9]+)-[0-9a-z]+\\.tmp$"));
    return name;
}

// Once per folder and run of the program. A folder is known by its FileId and where it is now
// (as the kernel names the held descriptor): the inode of a folder that is gone is soon another
// folder's, elsewhere.
void removeStaleTemporariesOnce(int folder) {
    static QMutex mutex;
    static QSet<std::pair<FileId, QByteArray>> swept;
    const std::optional<FileId> id = FileId::ofDescriptor(folder);
    const QByteArray where = currentPathOf(folder);
    if (!id || where.isEmpty())
        return;
    {
        const QMutexLocker lock(&mutex);
        const std::pair<FileId, QByteArray> key{*id, where};
        if (swept.contains(key))
            return;
        swept.insert(key);
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

} // namespace

bool cannotSync(int err) {
    return err == EINVAL || err == ENOSYS || err == ENOTSUP || err == EOPNOTSUPP;
}

void renameOnto(int folder, const QByteArray& temporary, const QByteArray& target, NameWas name,
                int file) {
    if (name == NameWas::Free) {
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

TempBeside::TempBeside(const Location& target)
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

TempBeside::~TempBeside() {
    if (!m_committed)
        ::unlinkat(m_folder.fd, m_name.constData(), 0);
}

void TempBeside::commit(NameWas name) {
    WriteBatch* batch = WriteBatch::current();
    if (batch && name == NameWas::Free)
        ::sync_file_range(m_fd.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    else if (::fdatasync(m_fd.fd) != 0 && !cannotSync(errno))
        raiseErrno(errno);
    renameOnto(m_folder.fd, m_name, m_target, name, m_fd.fd);
    m_committed = true;
    if (batch) {
        WriteBatch::noteWrite(m_folder.fd);
        return;
    }
    const UniqueFd dir(::openat(m_folder.fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0 && ::fsync(dir.fd) != 0 && !cannotSync(errno))
        raiseErrno(errno);
}

bool TempBeside::queueInBatch(const std::optional<FileId>& replaced, int marksAfter, qint64 bytes) {
    if (!WriteBatch::current())
        return false;
    ::sync_file_range(m_fd.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    WriteBatch::QueuedCopy copy;
    const std::optional<FileId> folder = FileId::ofDescriptor(m_folder.fd);
    if (!folder)
        raiseErrno(errno);
    copy.folderId = *folder;
    copy.replaced = replaced;
    copy.marksAfter = marksAfter;
    copy.bytes = bytes;
    copy.target = m_target;
    copy.file = std::move(m_fd);
    copy.folder = std::move(m_folder);
    copy.temporary = std::exchange(m_name, QByteArray());
    m_committed = true;
    WriteBatch::enqueue(std::move(copy));
    return true;
}

void removeStaleTemporaries(const QString& folder) {
    const Location at = Location::of(folder);
    const UniqueFd dir(at.open(O_PATH | O_DIRECTORY, 0, LastLink::Follow));
    if (dir.fd >= 0)
        removeStaleTemporariesOnce(dir.fd);
}

} // namespace host
