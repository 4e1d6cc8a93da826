// SPDX-License-Identifier: MIT
#pragma once

#include "host/Twips.h"

#include <QRect>
#include <QRectF>

// The pixel rectangle of a control laid out at a twips rectangle.
inline QRect pixelsOf(const QRectF& twips) {
    return QRect(host::twipsToPixelsX(twips.x()), host::twipsToPixelsY(twips.y()),
                 host::twipsToPixelsX(twips.width()), host::twipsToPixelsY(twips.height()));
}

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

// A control of a window: at its twips place, with its caption (buttons, labels, text boxes;
// an empty caption is not checked for labels). Returns the control, or null after a failure.
inline QWidget* checkControl(QWidget* window, const QString& name, const QRectF& twips,
                             const QString& caption) {
    auto* control = window->findChild<QWidget*>(name);
    [&] {
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->geometry(), pixelsOf(twips));
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            QCOMPARE(button->text(), caption);
        if (auto* label = qobject_cast<QLabel*>(control); label && !caption.isEmpty())
            QCOMPARE(label->text(), caption);
        if (auto* box = qobject_cast<QLineEdit*>(control); box && !caption.isEmpty())
            QCOMPARE(box->text(), caption);
    }();
    return QTest::currentTestFailed() ? nullptr : control;
}
