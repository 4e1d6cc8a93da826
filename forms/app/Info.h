// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The about box: product name and version beside a picture strip, and the users' read-me where
// one was installed with the program.
class Info : public QWidget {
    Q_OBJECT
public:
    explicit Info(QWidget* parent = nullptr);

    // The read-me beside the program (a Setup install), in the package's documentation folder
    // or in the build tree's; empty where there is none.
    static QString readMePath();

private slots:
    void cmdReadMe_Click();

private:
    QLabel* Picture1; // the picture strip
    QLabel* Image1;   // the sphere
    QLabel* Label2;   // "Vortle"
    QLabel* Label6;   // "Version: 2.0"
    QLabel* Label1;   // the white top of the strip
    QPushButton* cmdReadMe = nullptr;
};
