// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace host {

constexpr int HWND_TOPMOST = -1;
constexpr int HWND_NOTOPMOST = -2;

constexpr unsigned SWP_NOSIZE = 0x1;
constexpr unsigned SWP_NOMOVE = 0x2;
constexpr unsigned SWP_NOZORDER = 0x4;
constexpr unsigned SWP_SHOWWINDOW = 0x40;
constexpr unsigned SWP_HIDEWINDOW = 0x80;

// Moves and sizes the window's frame in pixels and puts it into or out of the topmost band.
// Returns nonzero, as the platform does.
int SetWindowPos(QWidget* window, int insertAfter, int x, int y, int cx, int cy, unsigned flags);

bool isTopmost(const QWidget* window);

// Puts a shown window into or out of the topmost band where its frame is now, as the design
// does it: SetWindowPos with the frame's own place and size, and SWP_SHOWWINDOW.
void setTopmost(QWidget* window, bool topmost);

// Puts the window's outer frame (title bar and border included) at a place on the screen, also
// before the window is first shown, and also at (0, 0), where the window manager would
// otherwise choose a place of its own.
void placeFrame(QWidget* window, const QPoint& topLeft);

// Places a window's frame in the middle of the primary screen.
void centreOnScreen(QWidget* window);

// Places a window's frame, before it is first shown, centred over its owner's frame and on the
// owner's screen; where that would cover the owner and there is room beside it (right, left,
// below, above), it goes there instead. A window that placed itself, or has no shown owner,
// keeps its place.
void placeOverOwner(QWidget* window);

// Where placeOverOwner puts a frame of the given size: the frames and the screen's free area in
// pixels.
QPoint placeOverOwner(const QSize& frame, const QRect& owner, const QRect& screen);

// Top-left corner for a frame that lies wholly off every screen: the nearest screen's corner
// that keeps the whole frame on it. A frame that touches a screen keeps its place.
QPoint keepOnScreen(const QRect& frame);

} // namespace host
