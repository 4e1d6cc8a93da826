// SPDX-License-Identifier: MIT
#pragma once

// The auto-archive on the diskette (DiskSettings::kAutoArchive), kept by WinZip.
namespace vortle::ArchiveCommands {

// Start WinZip (record 5 of the program settings file) to add files to the auto-archive, or
// to open it. No WinZip path configured does nothing.
void addFiles();
void open();

// Deletes the auto-archive without asking.
void deleteArchive();

} // namespace vortle::ArchiveCommands
