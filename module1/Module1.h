// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

namespace vortle {
class DiskDisplay;
} // namespace vortle

// Procedures that several windows share: they call the diskette engine (DiskEngine,
// ExecuteLinkRun) and turn its outcomes into the program's messages.
namespace Module1 {

// The title of the utility's message boxes.
inline const QString kTitle = QStringLiteral("Vortle");

// Whether the drive can be read; tells the user in a message box when there is no such drive
// ("Laufwerk nicht vorhanden.") or no diskette in it. Only the first character is used.
bool CheckDrive(const QString& drive);

// CheckDrive for drive A:, followed by "No disk inserted." when it fails: the guard of the
// commands that need a diskette.
bool diskInserted();

// The report of a write to the diskette that failed: "Couldn't write on disk.".
void reportWriteFailure();

// The main window's disk display; the main window registers the one it owns.
void setDiskDisplay(vortle::DiskDisplay* display);

// What the disk icon shows now, and setting its picture and tool tip after a save.
QImage diskIconPicture();
void setDiskIdentity(const QImage& picture, const QString& name);

// Refreshes the disk icon's picture and tool tip from the diskette in drive A:, or shows the
// no-disk picture when there is no ready diskette.
void ReloadDiskSettings();

// The same without a word: for a medium that came or went behind drive A:. Asks nothing and
// writes nothing on the medium (a settings file that is missing stays missing).
void RefreshDiskDisplay();

// The same, but only when drive A: holds another medium than the display was filled from: a
// mount or unmount elsewhere on the machine reads nothing.
void RefreshDiskDisplayIfMediumChanged();

// Runs the action list of the diskette in drive A:, in order; the first failure stops the run
// with "Couldn't execute action.".
void ExecuteLink();

} // namespace Module1
