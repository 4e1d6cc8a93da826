// SPDX-License-Identifier: MIT
// Two helpers for the metainfo's screenshot on a virtual desktop: "wall" paints a desktop
// background under every window, "grab FILE [X Y W H]" saves the whole screen or a part of it.
#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class Wall : public QWidget {
    Q_OBJECT
public:
    Wall() {
        setWindowFlags(Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint |
                       Qt::WindowStaysOnBottomHint);
        setGeometry(QApplication::primaryScreen()->geometry());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(0x3b, 0x6e, 0xa5));
        gradient.setColorAt(1, QColor(0x1d, 0x35, 0x57));
        painter.fillRect(rect(), gradient);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.value(1) == QLatin1String("grab") &&
        (arguments.size() == 3 || arguments.size() == 7)) {
        const QPixmap screen = QApplication::primaryScreen()->grabWindow(0);
        const QPixmap part = arguments.size() == 3
                                 ? screen
                                 : screen.copy(arguments[3].toInt(), arguments[4].toInt(),
                                               arguments[5].toInt(), arguments[6].toInt());
        return part.save(arguments[2]) ? 0 : 1;
    }
    if (arguments.value(1) != QLatin1String("wall")) {
        std::fputs("usage: vortle-screen-tools wall | grab FILE [X Y W H]\n", stderr);
        return 2;
    }
    Wall wall;
    wall.show();
    // A window the manager does not manage stays below the others only when lowered again.
    QTimer lower;
    QObject::connect(&lower, &QTimer::timeout, &wall, [&wall] { wall.lower(); });
    lower.start(200);
    return QApplication::exec();
}

#include "screen_tools.moc"
