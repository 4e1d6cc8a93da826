// SPDX-License-Identifier: MIT
#pragma once

#include "Fd.h"
#include "FileId.h"

#include <QByteArray>

#include <optional>
#include <utility>
#include <vector>

namespace host {

class Location;

// The writes of one run, made durable together. While a batch lives on a thread, a copy there
// is not put in place at once: written, its writeback started, it waits until settle(): the
// waiting copies are then flushed together and only after that renamed onto their names, in
// the order they were made, so a replaced file is never lost, a pull during the writes leaves
// only whole temporaries (no half-written file under a list's name), and many small copies
// share their waits on the medium. A copy that would read or replace what waits settles first, and
// so does one that would make more than 16 MiB wait. Each folder written to (also by a delete or a
// new folder) is flushed once, and each drive written to synced once (syncfs), when the batch
// finishes; only then is everything on the media.
class WriteBatch {
public:
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // The step of the run (from 0) that the writes from now on belong to.
    void beginStep(int step) { m_step = step; }

    // Puts the waiting copies in place. Everything else of the run that looks at files (a
    // delete, a new folder, a program started) comes after this. Throws the first failure,
    // and then those that waited behind it are dropped, their names left as they were.
    void settle();

    // Settles, then flushes the folders and syncs the drives written to since the batch began
    // (or since the last finish). Throws the first failure, after trying them all.
    void finish();

    // The step whose write failed in the last settle() or finish() that threw; -1 when the
    // failure was not one step's.
    int failedStep() const { return m_failedStep; }

    // The batch of the calling thread, or none.
    static WriteBatch* current();

    // For the host layer's own operations: notes a folder of a write (any descriptor of it);
    // settles before a copy from `source` onto `destination` (where it resolved) when it must;
    // queues a written copy for the next settle (within a batch only; it never blocks).
    static void noteWrite(int folder);
    static void settleBeforeCopy(const Location& source, const Location* destination);
    struct QueuedCopy;
    static void enqueue(QueuedCopy&& copy);

private:
    std::vector<std::pair<FileId, UniqueFd>> m_folders;
    std::vector<QueuedCopy> m_queued;
    qint64 m_queuedBytes = 0;
    int m_step = -1;
    int m_failedStep = -1;
    WriteBatch* m_outer;
};

// A written copy queued in a batch: its temporary in the target's held folder, renamed onto
// the target at the next settle.
struct WriteBatch::QueuedCopy {
    UniqueFd folder;      // the target's held folder
    QByteArray temporary; // the written copy's name there
    QByteArray target;    // the name it goes to
    UniqueFd file;        // the copy, for its flush and its read-only mark
    int marksAfter = 0;   // read-only goes on once in place
    FileId folderId;
    std::optional<FileId> replaced; // the file in the target's place; none for a new name
    qint64 bytes = 0;
    int step = -1;

    QueuedCopy() = default;
    QueuedCopy(QueuedCopy&&) noexcept = default;
    ~QueuedCopy();
};

} // namespace host
