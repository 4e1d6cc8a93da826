// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>

#include <optional>

class QWidget;

namespace host {

// Whether the program can know where a window's outer frame stands, so that it is written only
// then. A Wayland client is never told its place, and an X11 one under a compositor that draws
// a frame it does not report (sway) knows only its client area's. A window manager may put the
// frame elsewhere than the program asked (some XWayland ones do): while the user never moved it
// since, that place says nothing of where the user wants the window, and the place asked for stays.
class FramePlace : public QObject {
    Q_OBJECT
public:
    explicit FramePlace(QWidget* window);

    // The outer frame's place that the program asked the window system for.
    void asked(const QPoint& frame) { m_asked = frame; }

    // Where the window system says the frame stands, where that is known and meant; nothing
    // where the place asked for should be kept.
    std::optional<QPoint> known() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QPoint m_asked;
    QPoint m_placed; // where the window system put it when it was shown
    QElapsedTimer m_shown;
    bool m_movedByUser = false;
};

} // namespace host
