// SPDX-License-Identifier: MIT
#include "Pictures.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

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
    // The icon's frames, and those of the icon drawn for screens of twice the density.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    for (const QString& file : {name, name.left(dot) + QStringLiteral("@2x") + name.mid(dot)}) {
        QImageReader reader(QStringLiteral(":/pictures/") + file);
        do {
            const QImage image = reader.read();
            if (!image.isNull())
                result.addPixmap(QPixmap::fromImage(image));
        } while (reader.jumpToNextImage());
    }
    return result;
}

QPixmap onBackground(const QPixmap& picture, const QColor& background) {
    if (picture.isNull() || background.lightnessF() >= 0.5)
        return picture;
    QImage shape = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    shape.setDevicePixelRatio(1.0);                       // worked on in device pixels
    const int reach = qRound(picture.devicePixelRatio()); // one pixel of the design
    // The edge: every pixel within reach of the shape, in a light grey.
    QImage edge(shape.size(), QImage::Format_ARGB32);
    edge.fill(Qt::transparent);
    const QRgb light = qRgb(225, 225, 225);
    for (int y = 0; y < shape.height(); ++y) {
        for (int x = 0; x < shape.width(); ++x) {
            int alpha = 0;
            for (int dy = -reach; dy <= reach && alpha < 255; ++dy)
                for (int dx = -reach; dx <= reach; ++dx)
                    if (shape.valid(x + dx, y + dy))
                        alpha = std::max(alpha, qAlpha(shape.pixel(x + dx, y + dy)));
            edge.setPixel(x, y, qRgba(qRed(light), qGreen(light), qBlue(light), alpha));
        }
    }
    QPainter painter(&edge);
    painter.drawImage(0, 0, shape);
    painter.end();
    QPixmap result = QPixmap::fromImage(edge);
    result.setDevicePixelRatio(picture.devicePixelRatio());
    return result;
}

} // namespace Pictures
