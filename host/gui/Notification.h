// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace host {

// Shows a message of the desktop's notification service (org.freedesktop.Notifications on
// the session bus) under the program's name and icon, and does not wait for it. Nothing
// happens where no session bus or no such service runs: a notification is never needed.
void notifyDesktop(const QString& summary, const QString& body);

} // namespace host
