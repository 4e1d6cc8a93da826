// SPDX-License-Identifier: MIT
#include "StartUp.h"

#include "Main.h"
#include "resources/Pictures.h"

#include "host/gui/Controls.h"
#include "host/gui/FormInstance.h"
#include "host/gui/Twips.h"
#include "host/gui/WindowPos.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

constexpr double kDesignWidth = 5430;
constexpr double kDesignHeight = 3195;
constexpr double kFrameAllowance = 80; // twips the frame adds to the picture in each direction

} // namespace

StartUp::StartUp(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    host::setUpForm(this, QString(), kDesignWidth, kDesignHeight, QStringLiteral("Vortle"));

    m_client = new QWidget(this);
    Image1 = host::pictureBox(m_client, "Image1", Pictures::picture(QStringLiteral("splash.bmp")),
                              0, 0, 3990, 2595);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(4000);
    Timer1->setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5 % early
    connect(Timer1, &QTimer::timeout, this, &StartUp::Timer1_Timer);
    Timer1->start();
}

QRect StartUp::placement(QSizeF pictureTwips, QSizeF screenTwips, double twipsPerPixelX,
                         double twipsPerPixelY) {
    const double height = pictureTwips.height() + kFrameAllowance;
    const double width = pictureTwips.width() + kFrameAllowance;
    const double top = screenTwips.height() / 2 - height / 2;
    const double left = screenTwips.width() / 2 - width / 2;
    auto px = [](double twips, double perPixel) {
        return static_cast<int>(std::lrint(twips / perPixel));
    };
    return QRect(px(left, twipsPerPixelX), px(top, twipsPerPixelY), px(width, twipsPerPixelX),
                 px(height, twipsPerPixelY));
}

void StartUp::Form_Load() {
    const QRect frame = placement(
        QSizeF(host::pixelsToTwipsX(Image1->width()), host::pixelsToTwipsY(Image1->height())),
        QSizeF(host::screenWidthTwips(), host::screenHeightTwips()), host::twipsPerPixelX(),
        host::twipsPerPixelY());
    setFixedSize(frame.size());
    // The frame is drawn by the window itself: the picture sits inside it.
    const int frameX = (frame.width() - Image1->width()) / 2;
    const int frameY = (frame.height() - Image1->height()) / 2;
    m_client->setGeometry(frameX, frameY, frame.width() - 2 * frameX, frame.height() - 2 * frameY);

    host::SetWindowPos(this, host::HWND_TOPMOST, frame.x(), frame.y(), frame.width(),
                       frame.height(), host::SWP_SHOWWINDOW);
}

void StartUp::Timer1_Timer() {
    Timer1->stop();
    close(); // unloads the splash window
    host::FormInstance<Main>::show();
}

void StartUp::paintEvent(QPaintEvent*) {
    // A fixed dialog frame: light outer edges top and left, dark ones bottom and right.
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
}
