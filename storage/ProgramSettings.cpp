// SPDX-License-Identifier: MIT
#include "ProgramSettings.h"

#include "host/core/SystemDirs.h"

namespace storage {

QString ProgramSettingsPath() {
    return host::SystemDirectory() + QStringLiteral("VRTLSettings.dll");
}

} // namespace storage
