// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own pictures, drawn for it and built into it.
namespace Pictures {

QPixmap picture(const QString& name); // "banner.bmp", "image1.png", ...
QIcon icon(const QString& name);      // every size an .ico file holds

} // namespace Pictures
