// SPDX-License-Identifier: MIT
// Draws the program's pictures into the folder given as the first argument. Run once by hand
// when a picture changes; the results are committed beside this file.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtEndian>

namespace {

// 1 for the pictures, 2 for their versions for screens of twice the density ("@2x"): the same
// drawing on twice the pixels, through the image's device pixel ratio.
int g_scale = 1;

QImage canvas(int w, int h, QColor fill = Qt::transparent) {
    QImage image(w * g_scale, h * g_scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(g_scale);
    image.fill(fill);
    return image;
}

// A 3.5-inch diskette filling a size x size square.
void drawDiskette(QPainter& p, int size, QColor body) {
    const double s = size / 32.0;
    p.save();
    p.scale(s, s);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    QPainterPath shell;
    shell.moveTo(2, 2);
    shell.lineTo(27, 2);
    shell.lineTo(30, 5);
    shell.lineTo(30, 30);
    shell.lineTo(2, 30);
    shell.closeSubpath();
    p.setPen(QPen(QColor(20, 20, 40), 1.2));
    p.setBrush(body);
    p.drawPath(shell);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(9, 2.6, 14, 9)); // shutter
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(17, 4, 3.5, 6)); // shutter window
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(6, 16, 20, 13)); // label
    p.setPen(QPen(QColor(120, 140, 200), 0.8));
    for (double y = 19; y < 28; y += 3)
        p.drawLine(QPointF(8, y), QPointF(24, y));
    p.restore();
}

QImage diskette(int size, QColor body = QColor(40, 70, 160)) {
    QImage image = canvas(size, size);
    QPainter p(&image);
    drawDiskette(p, size, body);
    return image;
}

QImage noDisk() {
    QImage image = diskette(32, QColor(130, 130, 140));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 20, 20), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(6, 6, 26, 26);
    p.drawLine(26, 6, 6, 26);
    return image;
}

QImage windowWithHand() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setPen(QColor(0, 0, 0));
    p.setBrush(Qt::white);
    p.drawRect(0, 1, 12, 10);
    p.fillRect(1, 2, 11, 2, QColor(0, 0, 128));
    // pointing hand
    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(255, 220, 170));
    p.drawRect(9, 6, 2, 6);
    p.drawRect(9, 11, 6, 4);
    p.drawPoint(12, 10);
    p.drawPoint(14, 10);
    return image;
}

void drawDocument(QPainter& p, int x, int y, QColor fill) {
    p.setPen(QColor(0, 0, 0));
    p.setBrush(fill);
    p.drawRect(x, y, 8, 10);
    p.setPen(QColor(90, 90, 90));
    for (int line = 2; line < 10; line += 2)
        p.drawLine(x + 2, y + line, x + 6, y + line);
}

QImage twoDocuments() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    drawDocument(p, 1, 1, QColor(255, 255, 200));
    drawDocument(p, 6, 5, Qt::white);
    return image;
}

// A grey gear around (11, 11) with `teeth` teeth, the hole of radius `hole` in its middle.
void drawGear(QPainter& p, int teeth, double inner, double outer, double hole) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(150, 150, 160));
    QPainterPath gear;
    const QPointF c(11, 11);
    for (int i = 0; i < 2 * teeth; ++i) {
        const double r = (i % 2) ? inner : outer;
        const double a = i * M_PI / teeth;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i ? gear.lineTo(pt) : gear.moveTo(pt);
    }
    gear.closeSubpath();
    gear.addEllipse(c, hole, hole);
    p.drawPath(gear);
}

QImage documentWithGear() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    drawDocument(p, 1, 0, Qt::white);
    drawGear(p, 8, 3.0, 4.6, 1.2);
    return image;
}

// The preferences window's own icon: a check box with a tick beside a gear.
QImage settingsIcon() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setPen(QColor(0, 0, 0));
    p.setBrush(Qt::white);
    p.drawRect(1, 1, 8, 8);
    p.setPen(QPen(QColor(0, 120, 0), 2));
    p.drawLine(3, 5, 5, 7);
    p.drawLine(5, 7, 8, 2);
    drawGear(p, 6, 2.6, 4.2, 1.0);
    return image;
}

QImage scatteredSquares() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    const struct {
        int x, y, s;
        QColor c;
    } squares[] = {{1, 1, 5, QColor(200, 30, 30)},
                   {9, 2, 4, QColor(30, 150, 30)},
                   {3, 9, 4, QColor(30, 60, 200)},
                   {10, 9, 5, QColor(220, 180, 0)},
                   {7, 6, 3, QColor(140, 0, 160)}};
    for (const auto& sq : squares) {
        p.setPen(QColor(0, 0, 0));
        p.setBrush(sq.c);
        p.drawRect(sq.x, sq.y, sq.s - 1, sq.s - 1);
    }
    return image;
}

// A blue diskette turned by `degrees` about its top left corner, placed at `at`.
void drawTiltedDiskette(QPainter& p, QPointF at, qreal degrees, int size) {
    p.save();
    p.translate(at);
    p.rotate(degrees);
    drawDiskette(p, size, QColor(40, 70, 160));
    p.restore();
}

// The dark blue of Setup's strip and the splash, lightening from the top left towards `end`.
void fillNightFade(QPainter& p, const QImage& image, QPointF end) {
    QLinearGradient fade(QPointF(0, 0), end);
    fade.setColorAt(0, QColor(10, 20, 90));
    fade.setColorAt(1, QColor(90, 130, 220));
    p.fillRect(image.rect(), fade);
}

// A side strip's title in white bold, read from the bottom up, its baseline starting at `at`.
void drawUpwardTitle(QPainter& p, const QString& title, int pointSize, QPointF at) {
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), pointSize, QFont::Bold));
    p.translate(at);
    p.rotate(-90);
    p.drawText(0, 0, title);
}

QImage banner() {
    QImage image = canvas(50, 175, Qt::white);
    QPainter p(&image);
    QLinearGradient fade(0, 0, 0, 175);
    fade.setColorAt(0, Qt::white);
    fade.setColorAt(0.35, QColor(70, 100, 190));
    fade.setColorAt(1, QColor(10, 20, 90));
    p.fillRect(image.rect(), fade);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawUpwardTitle(p, QStringLiteral("Vortle"), 20, QPointF(34, 168));
    return image;
}

// Setup's side strip: the banner's colours with a box being unpacked.
QImage setupSide() {
    QImage image = canvas(50, 226, Qt::white);
    QPainter p(&image);
    fillNightFade(p, image, QPointF(0, 226));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 40, 10), 1));
    p.setBrush(QColor(200, 160, 90));
    p.drawRect(QRectF(9, 180, 32, 26));
    p.drawPolygon(
        QPolygonF({QPointF(9, 180), QPointF(2, 170), QPointF(25, 170), QPointF(25, 180)}));
    p.drawPolygon(
        QPolygonF({QPointF(41, 180), QPointF(48, 170), QPointF(25, 170), QPointF(25, 180)}));
    drawTiltedDiskette(p, QPointF(12, 140), -10, 26);
    drawUpwardTitle(p, QStringLiteral("Setup"), 16, QPointF(34, 120));
    return image;
}

QImage splash() {
    QImage image = canvas(266, 173, Qt::white);
    QPainter p(&image);
    fillNightFade(p, image, QPointF(266, 173));
    p.setRenderHint(QPainter::Antialiasing);
    drawTiltedDiskette(p, QPointF(20, 40), -12, 72);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 30, QFont::Bold));
    p.drawText(QRect(100, 40, 160, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vortle"));
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    p.drawText(QRect(102, 88, 160, 20), Qt::AlignLeft, QStringLiteral("Version 2.0"));
    p.drawText(QRect(10, 145, 246, 20), Qt::AlignCenter,
               QStringLiteral("Your diskette's companion"));
    return image;
}

QImage infoStrip() {
    QImage image = canvas(50, 136, Qt::white);
    QRandomGenerator seeded(1996); // the same strip every time
    auto* random = &seeded;
    for (int y = 0; y < 136 * g_scale; ++y) {
        const double t = std::min(1.0, y / (60.0 * g_scale)); // white at the top, blue below
        for (int x = 0; x < 50 * g_scale; ++x) {
            const int noise = int(random->bounded(40)) - 20;
            const int r = int(255 * (1 - t) + (30 + noise / 2) * t);
            const int g = int(255 * (1 - t) + (70 + noise) * t);
            const int b = int(255 * (1 - t) + (200 + noise) * t);
            image.setPixelColor(
                x, y, QColor(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255)));
        }
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage sphere() {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(QPointF(11, 10), 20);
    shade.setColorAt(0, QColor(190, 220, 255));
    shade.setColorAt(0.5, QColor(40, 90, 220));
    shade.setColorAt(1, QColor(5, 20, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QRectF(1, 1, 30, 30));
    p.setClipRegion(QRegion(1, 1, 30, 30, QRegion::Ellipse));
    p.setPen(QPen(QColor(230, 240, 255, 200), 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath puzzle;
    puzzle.moveTo(16, 0);
    puzzle.lineTo(16, 10);
    puzzle.arcTo(QRectF(13, 10, 6, 6), 90, -180);
    puzzle.lineTo(16, 32);
    puzzle.moveTo(0, 17);
    puzzle.lineTo(8, 17);
    puzzle.arcTo(QRectF(8, 14, 6, 6), 180, 180);
    puzzle.lineTo(32, 17);
    p.drawPath(puzzle);
    return image;
}

// An .ico file with one 32-bit entry (and its AND mask) per image, as the platform writes them.
QByteArray icoFile(const QList<QImage>& images) {
    QByteArray header, data;
    auto put16 = [](QByteArray& out, quint16 v) {
        v = qToLittleEndian(v);
        out.append(reinterpret_cast<char*>(&v), 2);
    };
    auto put32 = [](QByteArray& out, quint32 v) {
        v = qToLittleEndian(v);
        out.append(reinterpret_cast<char*>(&v), 4);
    };
    put16(header, 0);
    put16(header, 1);
    put16(header, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (const QImage& source : images) {
        const QImage img = source.convertToFormat(QImage::Format_ARGB32);
        const int w = img.width(), h = img.height();
        QByteArray dib;
        put32(dib, 40);
        put32(dib, quint32(w));
        put32(dib, quint32(h * 2));
        put16(dib, 1);
        put16(dib, 32);
        for (int i = 0; i < 6; ++i)
            put32(dib, 0);
        for (int y = h - 1; y >= 0; --y)
            for (int x = 0; x < w; ++x)
                put32(dib, img.pixel(x, y));
        const int maskStride = ((w + 31) / 32) * 4;
        for (int y = h - 1; y >= 0; --y) {
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < w; ++x)
                if (qAlpha(img.pixel(x, y)) < 128)
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            dib.append(row);
        }
        header.append(char(w));
        header.append(char(h));
        header.append('\0');
        header.append('\0');
        put16(header, 1);
        put16(header, 32);
        put32(header, quint32(dib.size()));
        put32(header, offset);
        offset += quint32(dib.size());
        data.append(dib);
    }
    return header + data;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void save256(const QImage& image, const QString& path) {
    image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither)
        .save(path, "BMP");
}

// The pictures the program shows in its windows; `suffix` goes before the extension.
void writeWindowPictures(const QDir& out, const QString& suffix) {
    auto name = [&](const char* base, const char* extension) {
        return out.filePath(QString::fromLatin1(base) + suffix + QLatin1Char('.') +
                            QString::fromLatin1(extension));
    };
    writeFile(name("nodisk", "ico"), icoFile({noDisk()}));
    writeFile(name("sphere", "ico"), icoFile({sphere()}));
    diskette(16).save(name("image1", "png"));
    windowWithHand().save(name("image2", "png"));
    twoDocuments().save(name("image3", "png"));
    documentWithGear().save(name("image4", "png"));
    settingsIcon().save(name("settings", "png"));
    scatteredSquares().save(name("image5", "png"));
    save256(banner(), name("banner", "bmp"));
    save256(splash(), name("splash", "bmp"));
    save256(setupSide(), name("setupside", "bmp"));
    infoStrip().save(name("infostrip", "bmp"), "BMP");
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    // The window icon and the sample diskette's icon; the 64 px frame is for screens of twice the
    // density.
    writeFile(out.filePath("diskette.ico"), icoFile({diskette(16), diskette(32), diskette(64)}));
    // The desktop's application icon, at the hicolor theme's sizes.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        diskette(size).save(out.filePath(QStringLiteral("vortle-%1.png").arg(size)));
    writeWindowPictures(out, QString());
    g_scale = 2;
    writeWindowPictures(out, QStringLiteral("@2x"));
    return 0;
}
