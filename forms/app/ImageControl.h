// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

namespace vortle {

// An image control: a picture, stretched to the control, that raises click events. It is
// pressed when the first mouse button goes down and released when the last one comes up,
// wherever the pointer then is; it clicks only when the pointer is released over it. The second
// press of a double-click presses but does not click. A release that follows no press (a button
// pressed elsewhere) does nothing. While pressed, the picture sits one pixel right and down.
class ImageControl : public QLabel {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent);

    // Where a menu that this control's click pops up belongs: under the control when the
    // keyboard clicked it, else at the mouse pointer.
    QPoint popupPosition() const;

    // Whether a click opens a menu: assistive technology then presents a menu button.
    void setOpensMenu(bool opensMenu) { m_opensMenu = opensMenu; }
    bool opensMenu() const { return m_opensMenu; }

    // What a click does, for a press through assistive technology.
    void activate() { emit Click(); }

signals:
    void Click();
    // The menu key or Shift+F10 while the control has the focus.
    void MenuKey();
    // The right mouse button asks for the control's own menu, at this point of the screen.
    void ContextMenu(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Tab reaches the control; Space or Enter presses and clicks it as the left button does.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void press(bool clicks);
    void byKeyboard(void (ImageControl::*signal)());
    void showPressed(bool down);

    bool m_pressed = false;
    bool m_clickOnRelease = false;
    bool m_byKeyboard = false;
    // The focus frame shows once the keyboard is in use (Tab, a key here), as Windows hides
    // keyboard cues until then: the focus a window starts with paints no frame.
    bool m_focusFrame = false;
    bool m_opensMenu = false;
};

} // namespace vortle
