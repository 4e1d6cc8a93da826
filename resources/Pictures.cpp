// SPDX-License-Identifier: MIT
#include "Pictures.h"

#include <QGuiApplication>
#include <QImageReader>

namespace Pictures {

QPixmap picture(const QString& name) {
    // On a screen of twice the density, the picture drawn for it: the same logical size, sharp.
    if (qApp && qApp->devicePixelRatio() > 1.0) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        QPixmap sharp(QStringLiteral(":/pictures/") + name.left(dot) + QStringLiteral("@2x") +
                      name.mid(dot));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
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
