// SPDX-License-Identifier: MIT
#pragma once

#include "RecordFixture.h"

#include <QApplication>
#include <QWidget>

// Top-level windows of a form class that exist now.
template <class Form> int countWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<Form*>(widget) != nullptr;
    return count;
}
