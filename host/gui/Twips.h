// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace host {

// Twips per pixel of the primary screen: 1440 over its logical DPI (15 at 96 DPI).
double twipsPerPixelX();
double twipsPerPixelY();

// Twips to pixels: the float quotient rounded to the nearest integer, halves to even.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(int pixels);
double pixelsToTwipsY(int pixels);

// The one helper that lays controls out: position and size of a child in twips of its
// parent's client area.
void placeTwips(QWidget* control, double left, double top, double width, double height);

// Fixed client size of a window, in twips.
void setClientSizeTwips(QWidget* window, double width, double height);

// Screen size in twips.
double screenWidthTwips();
double screenHeightTwips();

} // namespace host
