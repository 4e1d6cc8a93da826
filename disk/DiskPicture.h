#pragma once

#include <QPixmap>
#include <QString>

// Loads a picture file (an icon with one or several sizes, or a bitmap) the way the disk icon
// shows it: of an icon's sizes, 32 x 32 or else the largest. Raises 53 for a missing file and
// 481 "Invalid picture" for one that is no picture.
QPixmap loadDiskPicture(const QString& dosPath);
