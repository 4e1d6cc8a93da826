// SPDX-License-Identifier: MIT
#pragma once

#include "host/gui/Twips.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QStringList>

#include <optional>

// The pixel rectangle of a control laid out at a twips rectangle.
inline QRect pixelsOf(const QRectF& twips) {
    return QRect(host::twipsToPixelsX(twips.x()), host::twipsToPixelsY(twips.y()),
                 host::twipsToPixelsX(twips.width()), host::twipsToPixelsY(twips.height()));
}

// A control as its form lays it out. An empty caption is checked on buttons only; a tip is
// checked where the row gives one.
struct ControlPlace {
    QString name;
    QRectF twips;
    QString caption;
    std::optional<QString> tip = std::nullopt;
};

inline QString captionOf(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* box = qobject_cast<const QLineEdit*>(control))
        return box->text();
    return {};
}

// What differs between a form and its table, one line per fault; empty when all agree.
inline QStringList layoutFaults(const QWidget* window, const QList<ControlPlace>& table) {
    QStringList faults;
    for (const ControlPlace& place : table) {
        const auto* control = window->findChild<const QWidget*>(place.name);
        if (!control) {
            faults << place.name + QStringLiteral(": missing");
            continue;
        }
        if (control->geometry() != pixelsOf(place.twips))
            faults << place.name + QStringLiteral(": placed wrong");
        const bool isButton = qobject_cast<const QAbstractButton*>(control) != nullptr;
        if ((isButton || !place.caption.isEmpty()) && captionOf(control) != place.caption)
            faults << place.name + QStringLiteral(": caption \"%1\"").arg(captionOf(control));
        if (place.tip && control->toolTip() != *place.tip)
            faults << place.name + QStringLiteral(": tip \"%1\"").arg(control->toolTip());
    }
    return faults;
}
