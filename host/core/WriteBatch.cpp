// SPDX-License-Identifier: MIT
#include "WriteBatch.h"

#include "Attributes.h"
#include "Location.h"
#include "RuntimeError.h"
#include "TempBeside.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace host {
namespace {

thread_local WriteBatch* t_batch = nullptr;

// At most this much of a run's replacing copies waits for one settle; a larger copy pays for
// its own flush anyway, and a pulled stick loses no more finished work than this.
constexpr qint64 kMostWaitingBytes = 16 << 20;
constexpr size_t kMostWaiting = 64; // two descriptors each

} // namespace

WriteBatch::WriteBatch() : m_outer(t_batch) {
    t_batch = this;
}

// The copies still waiting (a batch that was never finished) are dropped with their files.
WriteBatch::~WriteBatch() {
    t_batch = m_outer;
}

WriteBatch* WriteBatch::current() {
    return t_batch;
}

void WriteBatch::enqueue(QueuedCopy&& copy) {
    copy.step = t_batch->m_step;
    t_batch->m_queuedBytes += copy.bytes;
    t_batch->m_queued.push_back(std::move(copy));
}

WriteBatch::QueuedCopy::~QueuedCopy() {
    if (!temporary.isEmpty())
        ::unlinkat(folder.fd, temporary.constData(), 0);
}

void WriteBatch::settleBeforeCopy(const Location& source, const Location* destination) {
    if (!t_batch || t_batch->m_queued.empty())
        return;
    // Whether a waiting copy goes to this entry: by its folder and name, or by the file in
    // its place (another name of it, or a link to it).
    auto waitsFor = [](const Location& at) {
        const std::optional<FileId> folder = FileId::ofDescriptor(at.folder());
        if (!folder)
            return false;
        const QString name = QFile::decodeName(at.name());
        const std::optional<struct stat> entry = at.status(LastLink::Keep);
        const std::optional<struct stat> file = at.status(LastLink::Follow);
        for (const QueuedCopy& copy : t_batch->m_queued) {
            if ((*folder == copy.folderId &&
                 QFile::decodeName(copy.target).compare(name, Qt::CaseInsensitive) == 0) ||
                (entry && copy.replaced == FileId::of(*entry)) ||
                (file && copy.replaced == FileId::of(*file)))
                return true;
        }
        return false;
    };
    const std::optional<struct stat> read = source.status(LastLink::Follow);
    const qint64 bytes = read && S_ISREG(read->st_mode) ? qint64(read->st_size) : 0;
    if (t_batch->m_queued.size() >= kMostWaiting ||
        t_batch->m_queuedBytes + bytes > kMostWaitingBytes || waitsFor(source) ||
        (destination && waitsFor(*destination)))
        t_batch->settle();
}

void WriteBatch::settle() {
    // The flushes first, so that the medium writes the copies together: one sync of each
    // drive, or on FUSE each file's own flush; then the renames, in the order of the copies.
    m_failedStep = -1;
    std::vector<QueuedCopy> waiting = std::exchange(m_queued, {});
    m_queuedBytes = 0;
    QSet<quint64> synced;
    for (const QueuedCopy& copy : waiting) {
        struct statfs fs {};
        // A FUSE server's own storage is reached by each file's fsync, and by syncfs only
        // where the server takes FUSE_SYNCFS, which older ones and older kernels do not.
        const bool eachFile = ::fstatfs(copy.file.fd, &fs) != 0 || fs.f_type == FUSE_SUPER_MAGIC;
        if (!eachFile && synced.contains(quint64(copy.folderId.device)))
            continue;
        synced.insert(quint64(copy.folderId.device));
        m_failedStep = copy.step; // until it succeeds
        const int rc = eachFile ? ::fdatasync(copy.file.fd) : ::syncfs(copy.file.fd);
        if (rc != 0 && !cannotSync(errno))
            raiseErrno(errno);
    }
    for (QueuedCopy& copy : waiting) {
        m_failedStep = copy.step;
        renameOnto(copy.folder.fd, copy.temporary, copy.target,
                   copy.replaced ? NameWas::Taken : NameWas::Free, copy.file.fd);
        copy.temporary.clear();
        noteWrite(copy.folder.fd);
        if (copy.marksAfter & AttrReadOnly)
            setAttributesOf(copy.file.fd, copy.marksAfter);
    }
    m_failedStep = -1;
}

void WriteBatch::noteWrite(int folder) {
    const std::optional<FileId> id = t_batch ? FileId::ofDescriptor(folder) : std::nullopt;
    if (!id)
        return;
    for (const auto& [noted, fd] : t_batch->m_folders) {
        if (noted == *id)
            return;
    }
    UniqueFd held(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (held.fd >= 0)
        t_batch->m_folders.emplace_back(*id, std::move(held));
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
    for (const auto& [id, folder] : m_folders) {
        check(::fsync(folder.fd));
        if (!synced.contains(quint64(id.device))) {
            synced.insert(quint64(id.device));
            check(::syncfs(folder.fd));
        }
    }
    m_folders.clear();
    if (unsettled)
        std::rethrow_exception(unsettled);
    if (failure != 0)
        raiseErrno(failure);
}

} // namespace host
