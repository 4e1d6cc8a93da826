// SPDX-License-Identifier: MIT
#pragma once

#include "storage/RecordFile.h"

#include <QString>

#include <array>
#include <cstddef>
#include <initializer_list>
#include <utility>

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

// Reads the named records in one opening of the file, in that order; a record past the end is
// empty. A file that cannot be opened raises its run-time error.
template <std::size_t N> std::array<TaggedValue, N> readProgramSettings(const int (&records)[N]) {
    std::array<TaggedValue, N> values;
    withRecordFile(ProgramSettingsPath(), [&](int file) {
        for (std::size_t i = 0; i < N; ++i)
            values[i] = GetRecord(file, records[i]);
    });
    return values;
}

// Writes the given records in one opening of the file, creating it when it is missing.
void writeProgramSettings(std::initializer_list<std::pair<int, TaggedValue>> records);

} // namespace storage
