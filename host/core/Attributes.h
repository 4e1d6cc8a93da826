// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace host {

// DOS file attributes.
enum Attribute : int {
    AttrNormal = 0,
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrDirectory = 16,
    AttrArchive = 32,
};

// Attributes of an existing host file, kept the way Wine keeps them: read-only is the absence of
// every write bit, hidden and system live in the user.DOSATTRIB extended attribute, and on a
// vfat mount the FAT attributes themselves are used. Throws 53 for a missing file.
int hostAttributes(const QString& hostPath);

// Sets exactly the read-only, hidden and system bits of `attributes`. A file system that can
// store hidden and system takes them; one that cannot takes the call without effect.
void setHostAttributes(const QString& hostPath, int attributes);

// True when the file carries the read-only attribute (DOS rules, also for root).
bool hostIsReadOnly(const QString& hostPath);
bool hostIsReadOnly(const QByteArray& encodedPath); // the path's bytes as the host has them

} // namespace host
