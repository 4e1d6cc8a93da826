// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace host {

// The system and windows directories, as the platform reports them: the path is copied into
// `buffer` with a terminating NUL and its length returned; a buffer that is too small receives
// nothing and the length it would need, NUL included, is returned.
unsigned GetSystemDirectoryA(char* buffer, unsigned size);
unsigned GetWindowsDirectoryA(char* buffer, unsigned size);

// The directories as the programs use them: a 255-character buffer filled by the call, cut to
// the count it returns, lower-cased, with a trailing backslash ("c:\windows\system\").
QString SystemDirectory();
QString WindowsDirectory();

} // namespace host
