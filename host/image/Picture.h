// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace host {

// The platform's picture loading: an icon file (with one or several sizes) or a bitmap, as an
// image control shows it; of an icon's sizes, the one nearest 32 x 32 screen pixels (64 x 64
// on a screen of twice the density). Raises 53 for a missing file and 481 "Invalid picture"
// for one that is no picture, over 4 MiB, or that would decode past four megapixels.
QPixmap LoadPicture(const QString& dosPath);

// The same as an image, for code that shows no window itself.
QImage loadPicture(const QString& dosPath);

} // namespace host
