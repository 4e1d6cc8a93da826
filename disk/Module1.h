#pragma once

// Procedures that several windows share.
namespace Module1 {

// Refreshes the main window's disk icon from the diskette in drive A:.
void ReloadDiskSettings();

} // namespace Module1
