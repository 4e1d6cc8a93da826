#pragma once

#include <QPixmap>
#include <QString>

class QLabel;

// Procedures that several windows share.
namespace Module1 {

// The title of the utility's message boxes.
inline const QString kTitle = QStringLiteral("Vortle");

// Whether the drive can be read; tells the user in a message box when there is no such drive
// ("Laufwerk nicht vorhanden.") or no diskette in it. Only the first character is used.
bool CheckDrive(const QString& drive);

// The main window's disk display: the disk icon and the picture box with the no-disk picture.
// The main window registers them when it is created.
void setDiskDisplay(QLabel* picIcon, QLabel* picNoDisk);

// What the disk icon shows now, and setting its picture and tool tip after a save.
QPixmap diskIconPicture();
void setDiskIdentity(const QPixmap& picture, const QString& name);

// Refreshes the disk icon's picture and tool tip from the diskette in drive A:, or shows the
// no-disk picture when there is no ready diskette.
void ReloadDiskSettings();

// The same without a word: for a medium that came or went behind drive A:. Asks nothing and
// writes nothing on the medium (a settings file that is missing stays missing).
void RefreshDiskDisplay();

// Runs the action list of the diskette in drive A:, in order; the first failure stops the run
// with "Couldn't execute action.".
void ExecuteLink();

} // namespace Module1
