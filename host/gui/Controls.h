// SPDX-License-Identifier: MIT
#pragma once

#include "LineControl.h"
#include "Twips.h"

#include <QColor>
#include <QLabel>
#include <QList>
#include <QWidget>

// Helpers every form builds its controls with.
namespace host {

// Names a control and lays it out in twips of its parent's client area.
template <class Control>
Control* placeControl(Control* control, const char* name, double left, double top, double width,
                      double height) {
    control->setObjectName(QString::fromLatin1(name));
    placeTwips(control, left, top, width, height);
    return control;
}

// A picture box: its picture unstretched at its top left, clipped to the box.
QLabel* pictureBox(QWidget* parent, const char* name, const QPixmap& picture, double left,
                   double top, double width, double height);

// Fills a control's background with a colour (the white tops of the picture strips).
void setBackground(QWidget* control, const QColor& colour);

// An etched separator from x1 to x2: a grey-text line at greyY and a button-highlight line at
// highlightY, one pixel below it. Returns the two lines in that order.
QList<LineControl*> etchedSeparator(QWidget* parent, double x1, double x2, double greyY,
                                    double highlightY);

// The frame of a form: a title bar with its system menu and close box, no maximise or minimise
// box. `kind` is Qt::Window for a program's own window, Qt::Dialog for one it opens.
constexpr Qt::WindowFlags formFlags(Qt::WindowType kind) {
    return kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
}

// Gives a form its title, its accessible name (the title unless given) and its client size.
void setUpForm(QWidget* form, const QString& title, double widthTwips, double heightTwips,
               const QString& accessibleName = {});

// Gives the controls the keyboard focus in the order listed.
void setTabOrder(const QList<QWidget*>& order);

} // namespace host
