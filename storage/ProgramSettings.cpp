#include "ProgramSettings.h"

#include "host/SystemDirs.h"

namespace storage {

QString SystemDirectory() {
    char buffer[255] = {};
    const unsigned length = host::GetSystemDirectoryA(buffer, sizeof buffer);
    QString directory =
        QString::fromLatin1(buffer, length < sizeof buffer ? int(length) : 0).toLower();
    if (!directory.endsWith(QLatin1Char('\\')))
        directory += QLatin1Char('\\');
    return directory;
}

QString ProgramSettingsPath() {
    return SystemDirectory() + QStringLiteral("VRTLSettings.dll");
}

} // namespace storage
