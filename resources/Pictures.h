// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own pictures, drawn for it and built into it.
namespace Pictures {

QPixmap picture(const QString& name); // "banner.bmp", "image1.png", ...
QIcon icon(const QString& name);      // every size an .ico file (and its @2x file) holds

// The picture as it shows on `background`: on a dark one, with a light edge around its shapes,
// whose black outlines would otherwise vanish; on a light one, as it is.
QPixmap onBackground(const QPixmap& picture, const QColor& background);

} // namespace Pictures
