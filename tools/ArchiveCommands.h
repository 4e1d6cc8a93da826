#pragma once

#include <QString>

// The auto-archive "a:\VRTLAutoArchive.zip", kept on the diskette by WinZip.
namespace ArchiveCommands {

inline const QString kAutoArchive = QStringLiteral("a:\\VRTLAutoArchive.zip");

// Start WinZip (record 5 of the program settings file) to add files to the auto-archive, or
// to open it. No WinZip path configured does nothing.
void addFiles();
void open();

// Deletes the auto-archive without asking.
void deleteArchive();

} // namespace ArchiveCommands
