#include "ImageControl.h"

#include "host/Twips.h"

#include <QMouseEvent>

#include <utility>

namespace {

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

} // namespace

ImageControl::ImageControl(QWidget* parent, bool stretch) : QLabel(parent) {
    setScaledContents(stretch);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    // Only the first button down presses; further buttons change nothing.
    if ((event->buttons() & ~event->button()) != Qt::NoButton)
        return;
    press(event, event->button() == Qt::LeftButton);
}

void ImageControl::mouseDoubleClickEvent(QMouseEvent* event) {
    // Depending on the platform the second press of a double-click arrives as a press and then
    // this event, or as this event alone. It presses like a press, but the double-click as a
    // whole clicks only once.
    event->accept();
    if (m_pressed)
        m_clickOnRelease = false;
    else if ((event->buttons() & ~event->button()) == Qt::NoButton)
        press(event, false);
}

void ImageControl::press(QMouseEvent* event, bool clicks) {
    m_pressed = true;
    m_clickOnRelease = clicks;
    const QPointF pos = event->position();
    emit MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()),
                   float(host::twipsPerPixelX() * pos.x()),
                   float(host::twipsPerPixelY() * pos.y()));
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    // A release undoes only a press that happened, once the last button is up.
    if (event->buttons() != Qt::NoButton || !std::exchange(m_pressed, false))
        return;
    const QPointF pos = event->position();
    emit MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()),
                 float(host::twipsPerPixelX() * pos.x()), float(host::twipsPerPixelY() * pos.y()));
    // Clicks only where the pointer is released over the control as it was shown.
    const bool inside = rect().contains(event->position().toPoint());
    if (std::exchange(m_clickOnRelease, false) && inside && event->button() == Qt::LeftButton)
        emit Click();
}
