// SPDX-License-Identifier: MIT
#include "LineControl.h"

#include "Twips.h"

#include <QPainter>

#include <algorithm>

namespace host {

LineControl::LineControl(QWidget* parent, Colour colour) : QWidget(parent), m_colour(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::setLineTwips(double x1, double y1, double x2, double y2) {
    const int px1 = twipsToPixelsX(x1), py1 = twipsToPixelsY(y1);
    const int px2 = twipsToPixelsX(x2), py2 = twipsToPixelsY(y2);
    setGeometry(std::min(px1, px2), std::min(py1, py2), std::max(1, std::abs(px2 - px1)),
                std::max(1, std::abs(py2 - py1)));
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor colour = m_colour == Colour::GreyText
                              ? palette().color(QPalette::Disabled, QPalette::Text)
                              : palette().color(QPalette::Light);
    painter.fillRect(rect(), colour);
}

} // namespace host
