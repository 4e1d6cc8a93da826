// SPDX-License-Identifier: MIT
#pragma once

#include "Fd.h"
#include "FileId.h"

#include <QByteArray>

#include <optional>

// The host layer's whole-file writes: a temporary file beside its target, renamed onto it.
namespace host {

class Location;

// A file system that has nothing to flush, or no way to (some FUSE drivers).
bool cannotSync(int err);

// Whether the name a written copy goes to was free when the copy began, or held an entry.
enum class NameWas { Free, Taken };

// Renames a written temporary (`file`) onto its name. Onto a name that was free when the copy
// began, it never replaces anything unasked (RENAME_NOREPLACE, where the file system takes it):
// a file made there meanwhile is replaced only as any replaced file is, once the copy is on the
// medium, and one that is read-only, or no regular file, is refused (75).
void renameOnto(int folder, const QByteArray& temporary, const QByteArray& target, NameWas name,
                int file);

// A temporary file in the target's held folder, removed again unless committed by a rename onto
// the target's name there. POSIX, not QSaveFile: its name carries our pid for the stale sweep,
// copies go by copy_file_range into its descriptor, it is made and renamed only through the held
// folder, and the errno of each step must survive to tell 61, 70, 71 and 75 apart.
class TempBeside {
public:
    explicit TempBeside(const Location& target);
    TempBeside(const TempBeside&) = delete;
    TempBeside& operator=(const TempBeside&) = delete;
    ~TempBeside();

    // Stays the file's own descriptor after the rename, so that what follows it (the read-only
    // mark) lands on the file that was put in place.
    int fd() const { return m_fd.fd; }

    // Puts the file in place, durable before it is reported done: a file that is replaced gets
    // the new contents on the medium before the rename, so a stick pulled at any moment holds
    // the old file or the new one, never an empty one. Within a write batch a new name waits
    // for the batch's one sync (nothing of the user's is lost there) and only starts its
    // writeback; alone, the contents and the rename are flushed before success.
    void commit(NameWas name);

    // Within a write batch, hands the written file to the batch instead of putting it in place
    // (it never blocks): its writeback started, it is renamed at the batch's next settle, after
    // the flush of all that is queued. False outside a batch. `replaced` is the file in the
    // target's place, none for a new name.
    bool queueInBatch(const std::optional<FileId>& replaced, int marksAfter, qint64 bytes);

private:
    UniqueFd m_folder;
    QByteArray m_target;
    QByteArray m_name;
    UniqueFd m_fd;
    bool m_committed = false;
};

} // namespace host
