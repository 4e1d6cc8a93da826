#pragma once

#include <QString>

// Which medium drive A: is: the program's own choice, kept in its configuration file
// ($XDG_CONFIG_HOME/vortle/vortle.conf, [DriveA] mode=follow or fixed).
namespace host::DriveA {

enum class Mode { Fixed, Follow };

Mode mode();
void setMode(Mode mode);

// Points dosdevices/a: at a host folder (a fixed choice).
void pointAt(const QString& hostFolder);

// In follow mode: points a: at the removable volume mounted last, or at ../no-medium (which
// does not exist, so the drive reads as not ready) while none is mounted. Returns whether the
// link changed.
bool follow();

// The host folder a: points at now (its link's target as written).
QString target();

} // namespace host::DriveA
