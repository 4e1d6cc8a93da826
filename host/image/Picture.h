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

// The same as an image, for code that shows no window itself. The picture is decoded in a
// process of its own with limits of time and memory (host::decodeApart): a file made to be
// expensive costs the program nothing but a missing picture.
QImage loadPicture(const QString& dosPath);

// Decodes a picture file's bytes as loadPicture does (of an icon, the frame nearest `side`
// pixels), in the calling process; a null image for no picture or one past the limits.
QImage decodePicture(const QByteArray& bytes, int side);

} // namespace host
