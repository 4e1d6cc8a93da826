#include "DiskPicture.h"

#include "host/FileSystem.h"
#include "host/RuntimeError.h"

#include <QBuffer>
#include <QImageReader>

QPixmap loadDiskPicture(const QString& dosPath) {
    QByteArray bytes = host::readFile(dosPath);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    QImage best;
    do {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        const bool better = best.isNull() || image.size() == QSize(32, 32) ||
                            (best.size() != QSize(32, 32) && image.width() > best.width());
        if (better)
            best = image;
    } while (reader.jumpToNextImage());
    if (best.isNull())
        host::raise(host::ErrInvalidPicture);
    return QPixmap::fromImage(best);
}
