// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QtTest/qtestcase.h>

// A control of a form, found by its name (the form's controls are its own).
template <class Control> Control* ctl(const QObject* form, const char* name) {
    auto* control = form->findChild<Control*>(QString::fromLatin1(name));
    if (!control)
        qFatal("%s has no control %s", form->metaObject()->className(), name);
    return control;
}
