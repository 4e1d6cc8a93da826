// SPDX-License-Identifier: MIT
#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace host {
namespace {

double perPixel(double dpi) {
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

QScreen* primary() {
    return QGuiApplication::primaryScreen();
}

} // namespace

double twipsPerPixelX() {
    return primary() ? perPixel(primary()->logicalDotsPerInchX()) : 15.0;
}
double twipsPerPixelY() {
    return primary() ? perPixel(primary()->logicalDotsPerInchY()) : 15.0;
}

int twipsToPixelsX(double twips) {
    return static_cast<int>(std::lrint(twips / twipsPerPixelX()));
}
int twipsToPixelsY(double twips) {
    return static_cast<int>(std::lrint(twips / twipsPerPixelY()));
}
double pixelsToTwipsX(int pixels) {
    return pixels * twipsPerPixelX();
}
double pixelsToTwipsY(int pixels) {
    return pixels * twipsPerPixelY();
}

void placeTwips(QWidget* control, double left, double top, double width, double height) {
    control->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width),
                         twipsToPixelsY(height));
}

void setClientSizeTwips(QWidget* window, double width, double height) {
    window->setFixedSize(twipsToPixelsX(width), twipsToPixelsY(height));
}

double screenWidthTwips() {
    return primary() ? pixelsToTwipsX(primary()->geometry().width()) : 0;
}
double screenHeightTwips() {
    return primary() ? pixelsToTwipsY(primary()->geometry().height()) : 0;
}

} // namespace host
