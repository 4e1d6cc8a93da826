#pragma once

#include <QWidget>

class QLabel;

// The about box: product name and version beside a picture strip.
class Info : public QWidget {
    Q_OBJECT
public:
    explicit Info(QWidget* parent = nullptr);

    QLabel* Picture1;
    QLabel* Image1;
    QLabel* Label2;
    QLabel* Label6;
    QLabel* Label1;
};
