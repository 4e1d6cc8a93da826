// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The program settings file "VRTLSettings.dll" in the system directory.
namespace storage {

namespace ProgramSettingsRecord {
constexpr int Top = 1;         // main window's outer top edge, twips, 32-bit float
constexpr int Left = 2;        // main window's outer left edge, twips, 32-bit float
constexpr int AutoLoad = 3;    // "Auto-load disk-settings on start", 16-bit integer 0 or 1
constexpr int AlwaysOnTop = 4; // "Always on top", 16-bit integer 0 or 1
constexpr int WinZipPath = 5;  // command that starts WinZip, string
} // namespace ProgramSettingsRecord

// The system directory (host::SystemDirectory) followed by "VRTLSettings.dll".
QString ProgramSettingsPath();

} // namespace storage
