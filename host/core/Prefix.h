// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace host {

// The prefix, $XDG_DATA_HOME/vortle, holds the drive links in dosdevices/ and the default
// folders that the links point at.
QString prefixPath();
QString dosDevicesPath();

// The program's own configuration of this machine, $XDG_CONFIG_HOME/vortle/vortle.conf (INI):
// what the record files have no place for.
QString configurationPath();

// Creates whatever of the prefix is missing: the default drive folders, the links a:, c: and
// z:, the folders the programs expect on c: and the file-manager launcher. Never replaces an
// existing entry; a step that fails is left for the file operations to report later.
void ensurePrefix();

// Host path of the link for a drive letter ("…/dosdevices/a:").
QString driveEntryPath(QChar letter);

// A file installed with the program: the first of `candidates` (paths relative to the program's
// folder: beside it, in the package's folders, in the build tree's) that is a file; empty when
// none is.
QString installedFile(const QStringList& candidates);

// Canonical host directory that is the root of the drive. Throws 68 when the drive has no
// entry and 71 when its target is missing, is not a directory or cannot be listed.
QString driveRoot(QChar letter);

} // namespace host
