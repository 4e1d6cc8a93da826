// SPDX-License-Identifier: MIT
#include "ImageControl.h"

#include "host/gui/MediumText.h"

#include <QAccessibleWidget>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QTextDocument>
#include <QToolTip>

#include <utility>

namespace vortle {

namespace {

bool isActivationKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
           event->key() == Qt::Key_Enter;
}

// What a screen reader sees of an image control: a push button (a menu button where the click
// opens a menu) named by its tip, whose Press does what a click does.
class ImageControlAccessible : public QAccessibleWidget {
public:
    explicit ImageControlAccessible(ImageControl* control)
        : QAccessibleWidget(control, QAccessible::Button) {}

    ImageControl* control() const { return static_cast<ImageControl*>(widget()); }
    QAccessible::Role role() const override {
        return control()->opensMenu() ? QAccessible::ButtonMenu : QAccessible::Button;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && control()->accessibleName().isEmpty())
            return control()->toolTip();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            control()->activate();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* accessibleImageControl(const QString& className, QObject* object) {
    if (className == QLatin1String("vortle::ImageControl"))
        return new ImageControlAccessible(static_cast<ImageControl*>(object));
    return nullptr;
}

} // namespace

ImageControl::ImageControl(QWidget* parent) : QLabel(parent) {
    static const bool accessible = (QAccessible::installFactory(accessibleImageControl), true);
    Q_UNUSED(accessible)
    setScaledContents(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // By Tab only: a mouse click leaves no focus frame behind.
    setFocusPolicy(Qt::TabFocus);
}

QPoint ImageControl::popupPosition() const {
    return m_byKeyboard ? mapToGlobal(rect().bottomLeft()) : QCursor::pos();
}

void ImageControl::keyPressEvent(QKeyEvent* event) {
    if (!std::exchange(m_focusFrame, true))
        update();
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        byKeyboard(&ImageControl::MenuKey);
        return;
    }
    if (!isActivationKey(event) || event->modifiers() & ~Qt::KeypadModifier) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || m_pressed)
        return;
    m_pressed = true;
    showPressed(true);
}

void ImageControl::keyReleaseEvent(QKeyEvent* event) {
    if (!isActivationKey(event) || event->isAutoRepeat() || !m_pressed) {
        QLabel::keyReleaseEvent(event);
        return;
    }
    event->accept();
    m_pressed = false;
    showPressed(false);
    byKeyboard(&ImageControl::Click);
}

void ImageControl::byKeyboard(void (ImageControl::*signal)()) {
    m_byKeyboard = true;
    emit(this->*signal)();
    m_byKeyboard = false;
}

void ImageControl::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard)
        byKeyboard(&ImageControl::MenuKey);
    else
        emit ContextMenu(event->globalPos());
    event->accept();
}

void ImageControl::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    m_focusFrame = m_focusFrame || reason == Qt::TabFocusReason ||
                   reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    update(); // the focus frame
}

void ImageControl::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    // A key still held when the focus goes releases the picture without clicking it.
    if (std::exchange(m_pressed, false))
        showPressed(false);
    update();
}

bool ImageControl::event(QEvent* event) {
    // The disk icon's tip is the diskette's name: shown as the characters it holds, never as
    // markup (an <img> in it would make the tip read whatever file it names).
    // It is isolated, its controls shown, and a tip Qt would take for plain text stays one line.
    if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
        const QString shown = host::mediumText(toolTip());
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           Qt::mightBeRichText(shown)
                               ? Qt::convertFromPlainText(shown, Qt::WhiteSpaceNoWrap)
                               : shown,
                           this);
        return true;
    }
    return QLabel::event(event);
}

void ImageControl::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus() || !m_focusFrame)
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    // Only the first button down presses; further buttons change nothing.
    if ((event->buttons() & ~event->button()) != Qt::NoButton)
        return;
    press(event->button() == Qt::LeftButton);
}

void ImageControl::mouseDoubleClickEvent(QMouseEvent* event) {
    // Depending on the platform the second press of a double-click arrives as a press and then
    // this event, or as this event alone. It presses like a press, but the double-click as a
    // whole clicks only once.
    event->accept();
    if (m_pressed)
        m_clickOnRelease = false;
    else if ((event->buttons() & ~event->button()) == Qt::NoButton)
        press(false);
}

void ImageControl::press(bool clicks) {
    m_pressed = true;
    m_clickOnRelease = clicks;
    showPressed(true);
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    // A release undoes only a press that happened, once the last button is up.
    if (event->buttons() != Qt::NoButton || !std::exchange(m_pressed, false))
        return;
    showPressed(false);
    // Clicks only where the pointer is released over the control as it was shown.
    const bool inside = rect().contains(event->position().toPoint());
    if (std::exchange(m_clickOnRelease, false) && inside && event->button() == Qt::LeftButton)
        emit Click();
}

void ImageControl::showPressed(bool down) {
    // The pressed look: one pixel right and down while held.
    const int by = down ? 1 : -1;
    move(pos() + QPoint(by, by));
}

} // namespace vortle
