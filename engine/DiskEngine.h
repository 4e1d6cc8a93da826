// SPDX-License-Identifier: MIT
#pragma once

#include "DiskSettings.h"

#include <QImage>
#include <QList>
#include <QString>

// What the program does with the diskette in drive A:, as values: it shows no window and asks
// nothing. Failures come back as outcomes, or as host::RuntimeError where a function says so;
// Module1 and the forms turn them into the program's messages.
namespace vortle::DiskEngine {

// NotReady: no medium (error 71); Unreadable: any other failure of the drive.
enum class DriveState { Ready, NoDrive, NotReady, Unreadable };

// Whether a drive can be read; only the first character of `drive` counts. With
// Sweep::StaleTemporaries, a ready drive's root loses the temporary files that killed runs
// left there.
enum class Sweep { Nothing, StaleTemporaries };
DriveState probeDrive(const QString& drive, Sweep sweep);

// The diskette's name and picture. The name is "" when the settings file cannot be read; a
// missing one is created (and left empty) only with SettingsFile::CreateMissing. The image is
// null when the icon is missing or is no picture.
struct DiskIdentity {
    QString name;
    QImage image;
};
enum class SettingsFile { ReadOnly, CreateMissing };
DiskIdentity readIdentity(SettingsFile settings);

// The action list. `complete` is false when the file could not be read to its end; the
// actions before the failure are kept.
struct ActionList {
    QList<DiskSettings::Action> actions;
    bool complete = true;
};

// The name and the action list, as far as they can be read.
struct DiskContents {
    QString name;
    ActionList list;
};
DiskContents readContents();

// Writes the whole settings file anew, beside the old one and renamed into place. Raises the
// file's errors; a value too long for its record fails before anything is touched, and the old
// file stays whole.
void writeSettings(const QString& name, const QList<DiskSettings::Action>& actions);

// Replaces the diskette's icon by a copy of `source`; the icon file's read-only, hidden and
// system attributes are kept as they were. Raises the copy's errors.
void replaceIcon(const QString& source);

// The note, with its CR LF line ends as line breaks, as much of it as a window shows (64 KiB,
// what the note box held); `whole` is false when the file holds more. Raises the file's errors.
struct Note {
    QString text;
    bool whole = true;
};
Note readNote();

// Writes the note with CR LF line ends and nothing added after its text, then protects the
// icon file (read-only, hidden) if the diskette has one. Raises the write's errors.
void writeNote(const QString& note);

} // namespace vortle::DiskEngine
