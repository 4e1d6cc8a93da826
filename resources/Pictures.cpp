#include "Pictures.h"

#include <QImageReader>

namespace Pictures {

QPixmap picture(const QString& name) {
    return QPixmap(QStringLiteral(":/pictures/") + name);
}

QIcon icon(const QString& name) {
    QIcon result;
    QImageReader reader(QStringLiteral(":/pictures/") + name);
    do {
        const QImage image = reader.read();
        if (!image.isNull())
            result.addPixmap(QPixmap::fromImage(image));
    } while (reader.jumpToNextImage());
    return result;
}

} // namespace Pictures
