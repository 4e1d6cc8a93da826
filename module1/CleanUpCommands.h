// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// One-click commands that tidy the machine or open the diskette.
namespace vortle::CleanUpCommands {

inline const QString kRecyclePattern = QStringLiteral("c:\\recycled\\*.*");
inline const QString kRecentPattern = QStringLiteral("c:\\windows\\recent\\*.*");

void clearDustBin();
void clearRecentDocs();
void clearClipboard();

// Starts the windows directory + "explorer a:\", which opens drive A: in the file manager.
void openInExplorer();

} // namespace vortle::CleanUpCommands
