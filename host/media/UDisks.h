// SPDX-License-Identifier: MIT
#pragma once

#include "host/core/MountPoints.h"

#include <QList>
#include <QString>

#include <optional>

// The desktop's disk service, udisks2, over D-Bus: the volumes it has mounted and loop devices
// for diskette images. It answers on the system bus, or on the bus whose address
// VORTLE_UDISKS_BUS names ("none": no service at all), which tests use. A call gives up after
// a second, and a service that did not answer is left alone for half a minute, so a hung
// service cannot hang the window.
namespace host::UDisks {

// The mounted file systems that are not the system's own, the most recently mounted last;
// nothing when the service is absent or answers with an error.
std::optional<QList<RemovableVolume>> mountedVolumes();

// An image attached read-write through a loop device and mounted.
struct AttachedImage {
    QString block; // the loop device's object
    QString mountPoint;
};
std::optional<AttachedImage> attachImage(const QString& hostImage);
void detachImage(const AttachedImage& image);

} // namespace host::UDisks
