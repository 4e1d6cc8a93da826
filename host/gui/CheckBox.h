// SPDX-License-Identifier: MIT
#pragma once

#include <QCheckBox>

namespace host {

// A check box as the platform draws it: a click anywhere on the control, its caption and the
// room beside it included, toggles it, not only on the box and the caption's letters.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

} // namespace host
