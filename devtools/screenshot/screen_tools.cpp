// SPDX-License-Identifier: MIT
// Helpers for the virtual desktop of the screenshots and the close loop: "wall" paints a desktop
// background under every window, "grab FILE [X Y W H]" saves the whole screen or a part of it,
// "close WINDOW" sends the window WM_DELETE_WINDOW, as a window manager's close box does.
#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

// What xdotool lacks: its windowclose destroys the window instead of asking it to close.
int sendClose(xcb_window_t window) {
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window)
        return 1;
    xcb_connection_t* connection = x11->connection();
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(connection, "WM_PROTOCOLS");
    message.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_generic_error_t* error = xcb_request_check(
        connection, xcb_send_event_checked(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                           reinterpret_cast<const char*>(&message)));
    const bool failed = error != nullptr;
    std::free(error);
    return failed ? 1 : 0;
}

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
    if (arguments.value(1) == QLatin1String("close") && arguments.size() == 3)
        return sendClose(xcb_window_t(arguments[2].toULong(nullptr, 0)));
    if (arguments.value(1) != QLatin1String("wall")) {
        std::fputs("usage: vortle-screen-tools wall | grab FILE [X Y W H] | close WINDOW\n",
                   stderr);
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
