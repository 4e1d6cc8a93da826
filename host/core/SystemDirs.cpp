// SPDX-License-Identifier: MIT
#include "SystemDirs.h"

#include <cstring>

namespace host {
namespace {

unsigned report(const char* path, char* buffer, unsigned size) {
    const auto length = static_cast<unsigned>(std::strlen(path));
    if (buffer == nullptr || size <= length)
        return length + 1;
    std::memcpy(buffer, path, length + 1);
    return length;
}

QString directoryFrom(unsigned (*get)(char*, unsigned)) {
    QByteArray buffer(255, ' ');
    const unsigned length = get(buffer.data(), unsigned(buffer.size()));
    QString directory = QString::fromLatin1(buffer.left(length < 255 ? int(length) : 0)).toLower();
    if (!directory.endsWith(QLatin1Char('\\')))
        directory += QLatin1Char('\\');
    return directory;
}

} // namespace

unsigned GetSystemDirectoryA(char* buffer, unsigned size) {
    return report("C:\\WINDOWS\\SYSTEM", buffer, size);
}

unsigned GetWindowsDirectoryA(char* buffer, unsigned size) {
    return report("C:\\WINDOWS", buffer, size);
}

QString SystemDirectory() {
    return directoryFrom(GetSystemDirectoryA);
}

QString WindowsDirectory() {
    return directoryFrom(GetWindowsDirectoryA);
}

} // namespace host
