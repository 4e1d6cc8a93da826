#pragma once

#include <QPixmap>
#include <QString>

namespace host {

// The platform's picture loading: an icon file (with one or several sizes) or a bitmap, as an
// image control shows it; of an icon's sizes, 32 x 32 or else the largest. Raises 53 for a
// missing file and 481 "Invalid picture" for one that is no picture.
QPixmap LoadPicture(const QString& dosPath);

} // namespace host
