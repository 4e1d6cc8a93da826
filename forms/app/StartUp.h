// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QWidget>

class QLabel;
class QTimer;

// The splash window: the product's picture, centred and topmost, for four seconds; then it
// unloads itself and shows the main window.
class StartUp : public QWidget {
    Q_OBJECT
public:
    explicit StartUp(QWidget* parent = nullptr);

    // The outer frame in pixels: the picture plus the frame allowance, centred on a screen of
    // the given size in twips, each figure rounded to the nearest pixel, halves to even.
    static QRect placement(QSizeF pictureTwips, QSizeF screenTwips, double twipsPerPixelX,
                           double twipsPerPixelY);

public slots:
    void Form_Load();
    void Timer1_Timer();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* Image1; // the splash picture
    QTimer* Timer1; // four seconds, then the main window

    QWidget* m_client; // the area inside the drawn dialog frame
};
