// SPDX-License-Identifier: MIT
#include "Notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

namespace host {

void notifyDesktop(const QString& summary, const QString& body) {
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                       service, QStringLiteral("Notify"));
    // A service that is not running is not started for this: the call then fails unseen, and
    // nothing waits for the bus on the way.
    call.setAutoStartService(false);
    const QString desktopEntry = QGuiApplication::desktopFileName();
    call << QGuiApplication::applicationDisplayName() << 0u
         << (desktopEntry.isEmpty() ? QStringLiteral("dialog-information") : desktopEntry)
         << summary << body << QStringList()
         << QVariantMap{{QStringLiteral("desktop-entry"), desktopEntry}} << -1;
    bus.send(call); // the reply (the notification's id) is of no use here
}

} // namespace host
