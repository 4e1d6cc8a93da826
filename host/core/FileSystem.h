// SPDX-License-Identifier: MIT
#pragma once

#include "Attributes.h"
#include "WriteBatch.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

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

// True when an entry the program may use is at the path: a file or a folder, links followed
// off the medium; on the medium not a foreign entry (Location::isForeignEntry).
bool ownEntryExists(const QString& path);

// True when the entry is, on drive A:, a foreign entry: a link, or a file with a second hard
// link.
bool isForeignEntryOnMedium(const QString& path);

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
