// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <sys/types.h>

namespace host {

// Opens a host path where the program expects a file. Only a regular file is ever opened for
// real: a pipe, a device or a socket in its place (a diskette can carry any of them) is 75
// at once, and the open itself cannot wait for a writer. Returns the descriptor, or -1 with
// errno set when the open fails for another reason. Without `followLinks`, a link in its
// place fails as a missing file does (ENOENT).
int openRegularFile(const QByteArray& path, int flags, mode_t mode = 0, bool followLinks = true);

} // namespace host
