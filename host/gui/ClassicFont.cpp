// SPDX-License-Identifier: MIT
#include "ClassicFont.h"

#include <QApplication>
#include <QFont>

namespace host {

QFont classicFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(8.25);
    return font;
}

void useClassicFont() {
    QApplication::setFont(classicFont());
}

} // namespace host
