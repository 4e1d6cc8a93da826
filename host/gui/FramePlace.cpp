// SPDX-License-Identifier: MIT
#include "FramePlace.h"

#include "WindowManager.h"

#include <QEvent>
#include <QWidget>

namespace host {
namespace {

// The moves that follow a window's showing are the window system placing it; later ones are
// the user's.
constexpr int kSettleMs = 500;

} // namespace

FramePlace::FramePlace(QWidget* window) : QObject(window), m_window(window) {
    window->installEventFilter(this);
}

bool FramePlace::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window)
        return false;
    if (event->type() == QEvent::Show && !m_shown.isValid()) {
        m_shown.start();
        m_placed = m_window->frameGeometry().topLeft();
    } else if (event->type() == QEvent::Move && m_shown.isValid()) {
        const QPoint frame = m_window->frameGeometry().topLeft();
        if (!m_shown.hasExpired(kSettleMs))
            m_placed = frame;
        else if (frame != m_placed)
            m_movedByUser = true;
    }
    return false;
}

std::optional<QPoint> FramePlace::known() const {
    if (!WindowManager::knowsFrameOf(m_window))
        return std::nullopt;
    const QPoint frame = m_window->frameGeometry().topLeft();
    if (frame != m_asked && !m_movedByUser)
        return std::nullopt;
    return frame;
}

} // namespace host
