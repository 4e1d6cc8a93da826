// SPDX-License-Identifier: MIT
#pragma once

#include "host/core/MountPoints.h"

#include <QList>
#include <QString>

// Which medium drive A: is: the program's own choice, kept in its configuration file
// ($XDG_CONFIG_HOME/vortle/vortle.conf, [DriveA] mode=follow or fixed).
namespace host::DriveA {

enum class Mode { Fixed, Follow };

Mode mode();
void setMode(Mode mode);

// Points dosdevices/a: at a host folder (a fixed choice).
void pointAt(const QString& hostFolder);

// The removable volumes mounted now: as udisks2 knows them where it runs, else those of the
// mount table under the removable-media roots; the most recently mounted last.
QList<RemovableVolume> removableVolumes();

// In follow mode: points a: at the removable volume mounted last, or at ../no-medium (which
// does not exist, so the drive reads as not ready) while none is mounted. Returns whether the
// link changed.
bool follow();

// The host folder a: points at now (its link's target as written).
QString target();

// Attaches a FAT diskette image (.img, .ima) and makes it drive A:; an image attached before
// is detached first. Read-write through a udisks2 loop device (the kernel's vfat) where the
// service runs; without it, read-only through fusefat on a folder of the prefix, since that
// driver loses files it writes. An image that something else has attached already (a loop
// device backed by it, a fusefat that serves it) is not attached a second time: two writers
// on one FAT image cross-link its files. Failed, with drive A: as it was, for a file that is
// gone or holds no FAT file system.
struct ImageAttachment {
    enum class Outcome { Attached, ReadOnly, InUse, Failed };
    Outcome outcome = Outcome::Failed;
    QString user; // for InUse: the loop device or the mount point that has the image
};
ImageAttachment attachImage(const QString& hostImage);

// What has the image attached now (a loop device, a fusefat's mount point); empty for nothing.
QString imageUser(const QString& hostImage);

// Detaches the image this run attached, if any: on exit, or when drive A: becomes another.
void detachImage();

} // namespace host::DriveA
