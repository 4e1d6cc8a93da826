// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

#include <functional>

namespace Module1 {

// Runs a handler's work on a medium off the window thread and waits for it as a run's progress
// window waits: the windows repaint and answer their close boxes and the session, no click or
// key reaches a handler meanwhile, and after half a second a window says what is waited for,
// with "Cancel". Raises the work's run-time error; 71 "Disk not ready" when the medium has not
// answered within the limit (15 s) or the user cancelled, whatever the work's thread still
// waits on. The work must capture by value (or shared pointer): it may outlive the handler.
void waitForMedium(std::function<void()> work);

// A picture file as a window's preview shows it, read and decoded that way; a null image when
// it cannot be shown.
QImage previewPicture(const QString& dosPath);

} // namespace Module1
