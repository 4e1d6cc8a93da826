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

} // namespace

unsigned GetSystemDirectoryA(char* buffer, unsigned size) {
    return report("C:\\WINDOWS\\SYSTEM", buffer, size);
}

unsigned GetWindowsDirectoryA(char* buffer, unsigned size) {
    return report("C:\\WINDOWS", buffer, size);
}

} // namespace host
