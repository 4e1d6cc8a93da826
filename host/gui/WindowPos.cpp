// SPDX-License-Identifier: MIT
#include "WindowPos.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace host {

int SetWindowPos(QWidget* window, int insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    if (!window)
        return 0;
    if (!(flags & SWP_NOZORDER) && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST)) {
        const bool topmost = insertAfter == HWND_TOPMOST;
        if (isTopmost(window) != topmost) {
            const Qt::WindowFlags band =
                window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, topmost);
            if (QWindow* handle = window->windowHandle()) {
                // Through the native window, which changes its band in place; the widget's
                // own flags would re-create it (a flicker and a new id for the window manager).
                window->overrideWindowFlags(band);
                handle->setFlags(band);
            } else {
                window->setWindowFlags(band);
            }
        }
    }
    if (!(flags & SWP_NOSIZE)) {
        const QSize frameExtra = window->frameGeometry().size() - window->size();
        const QSize client(cx - frameExtra.width(), cy - frameExtra.height());
        if (client != window->size())
            window->resize(client);
    }
    if (!(flags & SWP_NOMOVE))
        placeFrame(window, {x, y});
    if (flags & SWP_SHOWWINDOW)
        window->show();
    if (flags & SWP_HIDEWINDOW)
        window->hide();
    return 1;
}

bool isTopmost(const QWidget* window) {
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void setTopmost(QWidget* window, bool topmost) {
    const QRect frame = window->frameGeometry();
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, frame.x(), frame.y(),
                 frame.width(), frame.height(), SWP_SHOWWINDOW);
}

void placeFrame(QWidget* window, const QPoint& topLeft) {
    window->winId();
    // The widget's place first: showing a window re-applies it. Then the native window's, as
    // the frame's, so that the window manager is told an explicit place (also for (0, 0)) and
    // puts the outer frame there (north-west gravity) rather than the client area.
    window->move(topLeft);
    window->windowHandle()->setFramePosition(topLeft);
}

namespace {

// What the window manager adds around a window: known for a shown window; for one not shown
// yet, the best guess is what it added around another shown window with a title bar.
QMargins expectedFrameMargins(const QWidget* window) {
    if (window->isVisible())
        return window->windowHandle()->frameMargins();
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint))
        return {};
    for (const QWindow* shown : QGuiApplication::topLevelWindows()) {
        if (shown->isVisible() && !shown->frameMargins().isNull())
            return shown->frameMargins();
    }
    return {};
}

} // namespace

void centreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window->winId();
    const QMargins margins = expectedFrameMargins(window);
    const QSize frame = window->size().grownBy(margins);
    const QRect area = screen->geometry();
    placeFrame(window, {area.x() + (area.width() - frame.width()) / 2,
                        area.y() + (area.height() - frame.height()) / 2});
}

QPoint placeOverOwner(const QSize& frame, const QRect& owner, const QRect& screen) {
    const auto clamped = [&](QPoint place) {
        place.setX(std::clamp(place.x(), screen.left(),
                              std::max(screen.left(), screen.right() + 1 - frame.width())));
        place.setY(std::clamp(place.y(), screen.top(),
                              std::max(screen.top(), screen.bottom() + 1 - frame.height())));
        return place;
    };
    const QPoint centred = clamped(owner.center() - QPoint(frame.width() / 2, frame.height() / 2));
    if (!QRect(centred, frame).intersects(owner))
        return centred;
    for (const QPoint& beside :
         {QPoint(owner.right() + 1, centred.y()), QPoint(owner.left() - frame.width(), centred.y()),
          QPoint(centred.x(), owner.bottom() + 1),
          QPoint(centred.x(), owner.top() - frame.height())}) {
        const QPoint place = clamped(beside);
        if (!QRect(place, frame).intersects(owner))
            return place;
    }
    return centred;
}

void placeOverOwner(QWidget* window) {
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (!owner || !owner->isVisible() || window->testAttribute(Qt::WA_Moved))
        return;
    const QScreen* screen = owner->screen();
    if (!screen)
        return;
    window->winId();
    const QSize frame = window->size().grownBy(expectedFrameMargins(window));
    placeFrame(window, placeOverOwner(frame, owner->frameGeometry(), screen->availableGeometry()));
}

QPoint keepOnScreen(const QRect& frame) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    QRect nearest;
    long long best = std::numeric_limits<long long>::max();
    for (const QScreen* screen : screens) {
        const QRect area = screen->geometry();
        if (area.intersects(frame))
            return frame.topLeft();
        const long long dx =
            std::max({0, area.left() - frame.right(), frame.left() - area.right()});
        const long long dy =
            std::max({0, area.top() - frame.bottom(), frame.top() - area.bottom()});
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = area;
        }
    }
    if (nearest.isNull())
        return frame.topLeft();
    const int x = std::clamp(frame.left(), nearest.left(),
                             std::max(nearest.left(), nearest.right() + 1 - frame.width()));
    const int y = std::clamp(frame.top(), nearest.top(),
                             std::max(nearest.top(), nearest.bottom() + 1 - frame.height()));
    return {x, y};
}

} // namespace host
