// SPDX-License-Identifier: MIT
#include "WindowManager.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace host::WindowManager {
namespace {

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

xcb_connection_t* x11() {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("xcb")))
        return nullptr;
    const auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return native ? native->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The atoms of a property of the root window.
QList<xcb_atom_t> rootAtoms(xcb_connection_t* connection, const char* property,
                            xcb_atom_t type = XCB_ATOM_ATOM) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, root, atom(connection, property), type, 0, 4096),
            nullptr),
        &std::free);
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return QList<xcb_atom_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

bool windowManagerRuns(xcb_connection_t* connection) {
    return !rootAtoms(connection, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).isEmpty();
}

} // namespace

bool keepsWindowsOnTop() {
    xcb_connection_t* connection = x11();
    if (!connection)
        return !onWayland(); // offscreen: the program's own stacking
    return !windowManagerRuns(connection) || rootAtoms(connection, "_NET_SUPPORTED")
                                                 .contains(atom(connection, "_NET_WM_STATE_ABOVE"));
}

bool knowsFrameOf(const QWidget* window) {
    xcb_connection_t* connection = x11();
    if (!connection)
        return !onWayland(); // a Wayland client is never told its place
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint) || !windowManagerRuns(connection))
        return true;
    return window->windowHandle() && !window->windowHandle()->frameMargins().isNull();
}

} // namespace host::WindowManager
