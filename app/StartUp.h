#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The splash window: the product's picture, centred and topmost, for four seconds; then it
// unloads itself and shows the main window.
class StartUp : public QWidget {
    Q_OBJECT
public:
    explicit StartUp(QWidget* parent = nullptr);

    QLabel* Image1;
    QTimer* Timer1;

public slots:
    void Form_Load();
    void Timer1_Timer();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_client; // the area inside the drawn dialog frame
};
