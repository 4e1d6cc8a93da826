// SPDX-License-Identifier: MIT
#include "Picture.h"

#include "host/core/FileSystem.h"
#include "host/core/RuntimeError.h"
#include "host/image/Decoder.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>

#include <climits>
#include <cstdlib>

namespace host {
namespace {

// Bounds for a picture that a diskette carries: a larger file, or one that would decode to a
// larger image, is no picture. Icons are a few kilobytes.
constexpr qint64 kMaxPictureBytes = 4 << 20;
constexpr int kMaxDecodeMiB = 16;
constexpr qint64 kMaxPixels = 4 << 20;

// The frame of an icon (or cursor) file nearest `side` x `side`, the larger on a tie, chosen
// from the file's directory alone; -1 when the bytes hold no such directory. Only that frame is
// then decoded: an icon can list 65 535 frames.
int nearestIconFrame(const QByteArray& bytes, int side) {
    const auto byte = [&](qsizetype at) { return int(quint8(bytes[at])); };
    const auto word = [&](qsizetype at) { return byte(at) | byte(at + 1) << 8; };
    if (bytes.size() < 6 || word(0) != 0 || (word(2) != 1 && word(2) != 2))
        return -1;
    int best = -1;
    int bestDistance = INT_MAX;
    int bestSide = 0;
    for (int i = 0; i < word(4) && 6 + 16 * (i + 1) <= bytes.size(); ++i) {
        const qsizetype entry = 6 + 16 * i;
        const int width = byte(entry) == 0 ? 256 : byte(entry);
        const int height = byte(entry + 1) == 0 ? 256 : byte(entry + 1);
        const int distance = std::abs(width - side) + std::abs(height - side);
        if (distance < bestDistance || (distance == bestDistance && width > bestSide)) {
            best = i;
            bestDistance = distance;
            bestSide = width;
        }
    }
    return best;
}

} // namespace

QImage decodePicture(const QByteArray& bytes, int side) {
    // Applies to every decoder, an icon's embedded PNG frames included.
    QImageReader::setAllocationLimit(kMaxDecodeMiB);
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    if (const int frame = nearestIconFrame(bytes, side); frame >= 0) {
        reader.setFormat("ico");
        if (reader.jumpToImage(frame))
            image = reader.read();
    } else {
        image = reader.read(); // a bitmap; of anything with several frames, the first
    }
    if (image.isNull() || qint64(image.width()) * image.height() > kMaxPixels)
        return {};
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage loadPicture(const QString& dosPath) {
    QByteArray bytes;
    try {
        bytes = readFile(dosPath, kMaxPictureBytes);
    } catch (const RuntimeError& error) {
        if (error.number() == ErrOutOfMemory)
            raise(ErrInvalidPicture);
        throw;
    }
    // An image control shows 32 x 32 logical pixels: on a denser screen, the frame for its pixels.
    const int side = qRound(32 * (qGuiApp ? qGuiApp->devicePixelRatio() : 1.0));
    const QImage image = decodeApart(bytes, side);
    if (image.isNull())
        raise(ErrInvalidPicture);
    return image;
}

QPixmap LoadPicture(const QString& dosPath) {
    return QPixmap::fromImage(loadPicture(dosPath));
}

} // namespace host
