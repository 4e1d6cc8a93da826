#pragma once

#include <QString>

// One-click commands that tidy the machine or open the diskette.
namespace CleanUpCommands {

inline const QString kRecyclePattern = QStringLiteral("c:\\recycled\\*.*");
inline const QString kRecentPattern = QStringLiteral("c:\\windows\\recent\\*.*");

void clearDustBin();
void clearRecentDocs();
void clearClipboard();

// The windows directory as the platform reports it, lower-cased, with a trailing backslash.
QString WindowsDirectory();

// Starts the windows directory + "explorer a:\", which opens drive A: in the file manager.
void openInExplorer();

} // namespace CleanUpCommands
