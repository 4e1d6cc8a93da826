// SPDX-License-Identifier: MIT
#include "UDisks.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

namespace host::UDisks {
namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kLoop = QStringLiteral("org.freedesktop.UDisks2.Loop");
// udisks2 answers within milliseconds; one that takes longer is busy or hung.
constexpr int kTimeoutMs = 1000;
// After a call that got no answer, the service is left alone for a while, so that a hung
// service costs the window one wait, not one per menu or mount event.
constexpr qint64 kQuietMs = 30000;
QDeadlineTimer g_quiet;

// Options of every call: where the system would ask for a password, udisks2 refuses at once
// (and the program takes the way without it) instead of waiting on a prompt.
QVariantMap noPrompt() {
    return {{QStringLiteral("auth.no_user_interaction"), true}};
}

using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

std::optional<QDBusConnection> bus() {
    static const bool registered = [] {
        qDBusRegisterMetaType<Interfaces>();
        qDBusRegisterMetaType<ManagedObjects>();
        qDBusRegisterMetaType<QByteArrayList>();
        return true;
    }();
    Q_UNUSED(registered);
    const QString address = qEnvironmentVariable("VORTLE_UDISKS_BUS");
    if (address == QLatin1String("none"))
        return std::nullopt;
    QDBusConnection connection =
        address.isEmpty() ? QDBusConnection::systemBus()
                          : QDBusConnection::connectToBus(address, QStringLiteral("vortle-udisks"));
    if (!connection.isConnected())
        return std::nullopt;
    return connection;
}

// One call; nothing when there is no bus, no service or an error for an answer.
std::optional<QVariantList> call(const QString& path, const QString& interface,
                                 const QString& method, const QVariantList& arguments = {}) {
    const std::optional<QDBusConnection> connection = bus();
    if (!connection || !g_quiet.hasExpired())
        return std::nullopt;
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = connection->call(message, QDBus::Block, kTimeoutMs);
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        g_quiet.setRemainingTime(kQuietMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments();
}

// udisks2 gives paths as byte arrays with a closing zero.
QString pathFromBytes(QByteArray bytes) {
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    return QFile::decodeName(bytes);
}

QStringList mountPointsOf(const QVariant& value) {
    QStringList points;
    for (const QByteArray& bytes : qdbus_cast<QByteArrayList>(value))
        points << pathFromBytes(bytes);
    return points;
}

std::optional<QString> mount(const QString& block) {
    // The file system shows on the new loop device once it has been probed, a moment later.
    for (int attempt = 0; attempt < 20 && g_quiet.hasExpired(); ++attempt) {
        if (const auto reply = call(block, kFilesystem, QStringLiteral("Mount"), {noPrompt()});
            reply && !reply->isEmpty())
            return reply->first().toString();
        // The desktop may have mounted it first.
        if (const auto reply =
                call(block, QStringLiteral("org.freedesktop.DBus.Properties"),
                     QStringLiteral("Get"), {kFilesystem, QStringLiteral("MountPoints")});
            reply && !reply->isEmpty()) {
            const QStringList points =
                mountPointsOf(qvariant_cast<QDBusVariant>(reply->first()).variant());
            if (!points.isEmpty())
                return points.first();
        }
        QThread::msleep(100);
    }
    return std::nullopt;
}

} // namespace

std::optional<QList<RemovableVolume>> mountedVolumes() {
    const auto reply = call(QStringLiteral("/org/freedesktop/UDisks2"),
                            QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                            QStringLiteral("GetManagedObjects"));
    if (!reply || reply->isEmpty())
        return std::nullopt;
    const ManagedObjects objects = qdbus_cast<ManagedObjects>(reply->first());
    // The order of mounting comes from the mount table; one it does not show goes last.
    const QStringList table = mountedPoints();
    QList<RemovableVolume> volumes;
    for (const Interfaces& interfaces : objects) {
        if (!interfaces.contains(kBlock) || !interfaces.contains(kFilesystem))
            continue;
        const QVariantMap& block = interfaces[kBlock];
        if (block.value(QStringLiteral("HintSystem")).toBool() ||
            block.value(QStringLiteral("HintIgnore")).toBool())
            continue;
        const QStringList points =
            mountPointsOf(interfaces[kFilesystem].value(QStringLiteral("MountPoints")));
        if (points.isEmpty())
            continue;
        QString label = block.value(QStringLiteral("IdLabel")).toString();
        if (label.isEmpty())
            label = QFileInfo(points.first()).fileName();
        const qsizetype order = table.lastIndexOf(points.first());
        volumes.append({points.first(), label, block.value(QStringLiteral("Size")).toLongLong(),
                        int(order < 0 ? table.size() + volumes.size() : order)});
    }
    std::stable_sort(volumes.begin(), volumes.end(),
                     [](const auto& a, const auto& b) { return a.mountOrder < b.mountOrder; });
    return volumes;
}

std::optional<AttachedImage> attachImage(const QString& hostImage) {
    QFile image(hostImage);
    if (!image.open(QIODevice::ReadWrite))
        return std::nullopt;
    const auto reply =
        call(QStringLiteral("/org/freedesktop/UDisks2/Manager"),
             QStringLiteral("org.freedesktop.UDisks2.Manager"), QStringLiteral("LoopSetup"),
             {QVariant::fromValue(QDBusUnixFileDescriptor(image.handle())), noPrompt()});
    if (!reply || reply->isEmpty())
        return std::nullopt;
    const QString block = qvariant_cast<QDBusObjectPath>(reply->first()).path();
    if (const std::optional<QString> point = mount(block))
        return AttachedImage{block, *point};
    call(block, kLoop, QStringLiteral("Delete"), {noPrompt()});
    return std::nullopt;
}

void detachImage(const AttachedImage& image) {
    call(image.block, kFilesystem, QStringLiteral("Unmount"), {noPrompt()});
    call(image.block, kLoop, QStringLiteral("Delete"), {noPrompt()});
}

} // namespace host::UDisks
