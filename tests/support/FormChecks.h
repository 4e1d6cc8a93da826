#pragma once

#include "host/Twips.h"

#include <QRect>
#include <QRectF>

// The pixel rectangle of a control laid out at a twips rectangle.
inline QRect pixelsOf(const QRectF& twips) {
    return QRect(host::twipsToPixelsX(twips.x()), host::twipsToPixelsY(twips.y()),
                 host::twipsToPixelsX(twips.width()), host::twipsToPixelsY(twips.height()));
}
