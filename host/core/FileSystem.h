// SPDX-License-Identifier: MIT
#pragma once

#include "Attributes.h"

#include "Fd.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

// File operations on DOS paths, with DOS semantics and the platform's run-time errors. Each
// resolves its paths once (host::Location) and then acts on the held folders.
namespace host {

// DOS wildcard match of one name, ignoring case: "*" any run, "?" any one character;
// "X.*" also matches "X" without an extension, "X." only names without one.
bool matchesWildcard(const QString& pattern, const QString& name);

// The first name in the directory of `pattern` that matches its last component and whose
// attributes (beyond read-only and archive) are all in `attributes`, or an empty string: enough
// to know that a drive can be listed, without listing all of it. Only files and folders count;
// a missing directory gives an empty string. Throws 68 or 71 for the drive.
QString findFirstFile(const QString& pattern, int attributes = AttrNormal);

class Location;

// The writes of one run, made durable together. While a batch lives on a thread, a copy there
// is not put in place at once: written, its writeback started, it waits until settle(): the
// waiting copies are then flushed together and only after that renamed onto their names, in
// the order they were made, so a replaced file is never lost, a pull during the writes leaves
// only whole temporaries (no half-written file under a list's name), and many small copies
// share their waits on the medium. A copy
// that would read or replace what waits settles first, and so does one that would make more
// than 16 MiB wait. Each folder written to (also by a delete or a new folder) is flushed
// once, and each drive written to synced once (syncfs), when the batch finishes; only then is
// everything on the media.
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

    // For the host layer's own operations: notes a folder of a write (any descriptor of it);
    // settles before a copy from `source` onto `destination` (where it resolved) when it must;
    // hands a written copy over to wait.
    static void noteWrite(int folder);
    static void settleBeforeCopy(const Location& source, const Location* destination);
    struct Waiting;
    static void wait(Waiting&& copy); // within a batch only

private:
    std::vector<std::pair<QByteArray, UniqueFd>> m_folders; // by device and inode
    std::vector<Waiting> m_waiting;
    qint64 m_waitingBytes = 0;
    int m_step = -1;
    int m_failedStep = -1;
    WriteBatch* m_outer;
};

// Removes, once per folder and run, the temporary files that an ended run of the program
// left in a folder (a kill or a pulled stick during a copy or a save). Those of a program that
// still runs stay. Every write sweeps the folder it writes to this way.
void removeStaleTemporaries(const QString& folder);

// Deletes the file, or every file that the wildcards of the last component match, as the folder
// lists them (in bounded memory, whatever its size). Folders are never deleted. No match is 53;
// a read-only file is 75.
void deleteFiles(const QString& pattern);

// Told after each piece of a copy how many bytes of how many are done; returns false to stop
// the copy, which then throws CopyCancelled.
using CopyProgress = std::function<bool(qint64 done, qint64 total)>;
struct CopyCancelled {};

// Copies a file, replacing an existing destination through a temporary file and a rename.
// Refuses the same file under another name (75) and a read-only destination (75); a source
// larger than the room left where it goes is 61 before anything is written.
void copyFile(const QString& source, const QString& destination, const CopyProgress& progress = {});

// Creates one directory: an existing entry is 75, a missing parent 76.
void makeDirectory(const QString& path);

bool fileExists(const QString& path);

// True when the entry, on drive A:, is a link or a file with a second hard link: what the
// program's own files are never used through.
bool isLinkOnMedium(const QString& path);

// True when both paths name one existing file (another spelling, or a link to it).
bool isSameFile(const QString& first, const QString& second);

int getAttributes(const QString& path);
void setAttributes(const QString& path, int attributes);

// The whole file; one larger than `maxBytes` is 7 "Out of memory" and is not read. Anything
// but a regular file in its place is 75.
QByteArray readFile(const QString& path, qint64 maxBytes);

// At most the first `maxBytes` of the file; `whole` tells whether that was all of it.
QByteArray readFileStart(const QString& path, qint64 maxBytes, bool& whole);

// Replaces (or creates) a whole file through a temporary file beside it and a rename, so a
// failure leaves the old file whole. A read-only file is 75.
void writeFileReplacing(const QString& path, const QByteArray& contents);

} // namespace host
