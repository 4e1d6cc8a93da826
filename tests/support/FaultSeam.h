// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The calls that the host layer's failure paths depend on, as a dying or full medium answers
// them: this library's own definitions of fdatasync, fsync, syncfs, openat, write, renameat and
// renameat2 stand in front of the C library's, record them and, on request, fail
// one or change the medium at that moment; otherwise they pass the call on. A test that links
// it drives each failure path on purpose.
namespace FaultSeam {

// Recording: the name of each flush ("fdatasync", "fsync", "syncfs"), of each temporary made
// ("write") and of each rename ("rename NAME"), with the file system it went to.
void startRecording();
void stopRecording();
QStringList calls();
// What must hold of the calls recorded: on each file system, a flush between the last write
// and every rename.
bool flushedBeforeEveryRename();

// The next call of that name ("fdatasync", "fsync", "syncfs", "rename", "write") fails with
// `error`; a "write" only one to a regular file, after `shortBy` bytes
// less than asked were taken (a short write) where that is more than 0.
void failNext(const QString& call, int error, qsizetype shortBy = 0);
// The next open of the folder "sub" finds it exchanged with "swap" in `root` just before.
void swapAtOpen(const QByteArray& root);
// The next rename onto a free name finds a read-only file made at `path` just before.
void makeAtRename(const QByteArray& path);
// Nothing armed any more.
void disarm();

} // namespace FaultSeam
