// SPDX-License-Identifier: MIT
#pragma once

#include "Location.h"

#include <sys/types.h>

namespace host {

// Opens the entry of a location where the program expects a file. Only a regular file is ever
// opened for real: a pipe, a device or a socket in its place (a diskette can carry any of them)
// is 75 at once, and the open itself cannot wait for a writer. Returns the descriptor, or -1
// with errno set when the open fails for another reason. With LastLink::Keep, a link in its
// place fails as a missing file does (ENOENT), and so does, on the medium, any foreign entry
// (Location::isForeignEntry).
int openRegularFile(const Location& at, int flags, mode_t mode = 0,
                    LastLink last = LastLink::Follow);

} // namespace host
