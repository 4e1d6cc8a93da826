// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace host {

// Whether the system names this folder as a place where a medium is mounted: a mount point of
// the file-system table (/etc/fstab, or the file VORTLE_FSTAB names), or a folder directly
// under a removable-media root.
bool isKnownMountPoint(const QString& canonicalDir);

// The mount points of this process's mount table (/proc/self/mounts), in the order they
// were mounted.
QStringList mountedPoints();

// Whether a file system is mounted on the folder now (the mount table of this process).
bool isMounted(const QString& canonicalDir);

// A removable volume that is mounted now: a file system mounted directly under a
// removable-media root.
struct RemovableVolume {
    QString mountPoint;
    QString label;      // the mount point's name, which the desktop takes from the volume label
    qint64 bytes = 0;   // the file system's size
    int mountOrder = 0; // larger: mounted later
};
// In the order they were mounted, the most recent last.
QList<RemovableVolume> mountedRemovableVolumes();

} // namespace host
