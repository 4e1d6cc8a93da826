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

// Attaches a FAT diskette image (.img, .ima) read-write, through a udisks2 loop device where
// the service runs, else through fusefat on a folder of the prefix, and makes it drive A:; an image
// attached before is detached first. False, with drive A: as it was, for a file that is gone or
// holds no FAT file system.
bool attachImage(const QString& hostImage);

// Detaches the image this run attached, if any: on exit, or when drive A: becomes another.
void detachImage();

} // namespace host::DriveA
