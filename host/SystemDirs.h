#pragma once

namespace host {

// The system and windows directories, as the platform reports them: the path is copied into
// `buffer` with a terminating NUL and its length returned; a buffer that is too small receives
// nothing and the length it would need, NUL included, is returned.
unsigned GetSystemDirectoryA(char* buffer, unsigned size);
unsigned GetWindowsDirectoryA(char* buffer, unsigned size);

} // namespace host
