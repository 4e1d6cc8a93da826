// SPDX-License-Identifier: MIT
#include "DialogKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace host {
namespace {

bool pressable(const QAbstractButton* button) {
    return button && button->isEnabled() && button->isVisible();
}

} // namespace

DialogKeys::DialogKeys(QWidget* form, QAbstractButton* defaultButton, QAbstractButton* cancelButton)
    : QObject(form), m_form(form), m_default(defaultButton), m_cancel(cancelButton) {
    // Key presses that the focused control leaves alone travel up to the window.
    form->installEventFilter(this);
    if (auto* push = qobject_cast<QPushButton*>(defaultButton))
        push->setDefault(true);
}

void DialogKeys::setDefaultButton(QAbstractButton* button) {
    if (auto* old = qobject_cast<QPushButton*>(m_default.data()))
        old->setDefault(false);
    m_default = button;
    if (auto* push = qobject_cast<QPushButton*>(button))
        push->setDefault(true);
}

void DialogKeys::setCancelButton(QAbstractButton* button) {
    m_cancel = button;
}

bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_form || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(m_form->focusWidget());
        QAbstractButton* target = focused ? focused : m_default;
        if (pressable(target))
            target->click();
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        if (pressable(m_cancel))
            m_cancel->click();
        else
            m_form->close();
        return true;
    }
    return false;
}

} // namespace host
