// SPDX-License-Identifier: MIT
#include "ProgramSettings.h"

#include "host/core/SystemDirs.h"

namespace storage {

QString ProgramSettingsPath() {
    return host::SystemDirectory() + QStringLiteral("VRTLSettings.dll");
}

void writeProgramSettings(std::initializer_list<std::pair<int, TaggedValue>> records) {
    withRecordFile(ProgramSettingsPath(), [&](int file) {
        for (const auto& [record, value] : records)
            PutRecord(file, record, value);
    });
}

} // namespace storage
