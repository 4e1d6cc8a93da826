// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;

// The about box: product name and version beside a picture strip.
class Info : public QWidget {
    Q_OBJECT
public:
    explicit Info(QWidget* parent = nullptr);

private:
    QLabel* Picture1; // the picture strip
    QLabel* Image1;   // the sphere
    QLabel* Label2;   // "Vortle"
    QLabel* Label6;   // "Version: 2.0"
    QLabel* Label1;   // the white top of the strip
};
