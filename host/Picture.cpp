#include "Picture.h"

#include "FileSystem.h"
#include "RuntimeError.h"

#include <QBuffer>
#include <QImageReader>

namespace host {

QPixmap LoadPicture(const QString& dosPath) {
    QByteArray bytes = readFile(dosPath);
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
        raise(ErrInvalidPicture);
    return QPixmap::fromImage(best);
}

} // namespace host
