// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace host {

// The separators of a DOS path: backslash, and slash as DOS takes it too.
bool isPathSeparator(QChar c);

// Whether the path starts with a drive ("x:"); one that is no ASCII letter is malformed (52)
// once the path is parsed.
bool namesDrive(const QString& path);

// The length of the root that starts the path: 3 for a drive's ("x:"), 1 for the current
// drive's (""), 0 for a relative path ("x", "a:x").
qsizetype rootLength(const QString& path);

// An absolute DOS path taken apart: the lower-case drive letter and the components below the
// drive's root, with "." and ".." already resolved.
struct DosPath {
    QChar drive;
    QStringList components;

    QString toString() const; // "a:\DATA\src.txt"
};

// Makes a DOS path absolute against the current directory: "x" and "a:x" are relative, "\x"
// starts at the root of the current drive. ".." never climbs above the drive's root.
// Throws 52 for what DOS refuses: an empty path, a NUL, a ':' but after a leading drive letter,
// a start with "\\" (UNC, "\\?\", "\\.\"), '<', '>', '|' or '"', a wildcard above the last
// component.
DosPath parseDosPath(const QString& path);

// Host path of a DOS path, for handing it to another program or a dialog: resolved as the file
// operations resolve it (host::Location), so each component is matched against what exists at
// that point, first exactly, then ignoring letter case, and a missing one keeps its spelling.
// Throws 68 and 71 for the drive states, 52 for a malformed path, 75 for a path on the medium
// that links lead off it.
QString toHostPath(const QString& dosPath);
QString toHostPath(const DosPath& path);

// DOS path of a host path: under the drive whose target is its longest prefix, else z:.
QString toDosPath(const QString& hostPath);

// The current directory as a DOS path.
QString currentDirectory();

// Drive A: holds whatever medium is in it, prepared by anyone. Its paths never lead off the
// medium (host::Location); the file operations that open or mark a file of their own (record
// files, whole-file reads, pictures, attributes) treat a link there as no such file.
bool isOnMedium(const DosPath& path);

// A name that Windows cannot hold on a medium: a DOS device name (CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, in any case, with or without an extension) or one that ends in a dot or a
// blank (Windows drops them). Such an entry can be neither opened nor deleted there, so it is
// never made on drive A: (52); one that is already there stays readable.
bool isNameWindowsCannotHold(const QString& name);

// True when a host directory entry of that name exists, even a dangling link.
bool entryExists(const QString& hostPath);

// Name of an entry in a host directory that matches `name` exactly or ignoring case; empty when
// there is none.
QString matchEntry(const QString& hostDir, const QString& name);

} // namespace host
