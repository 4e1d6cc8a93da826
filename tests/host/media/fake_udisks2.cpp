// SPDX-License-Identifier: MIT
// A small stand-in for the udisks2 service on a private bus, for the tests of drive A:'s
// choices: fake-udisks2 <bus address> <volumes.json> <log>. It answers GetManagedObjects with
// the volumes of the file ({"volumes": [{"label", "size", "mountPoint", "system"}], "fail"}),
// sets up "loop0" for any image, mounts it on the file's "loopMountPoint", and logs each call.
// With "fail": true every call is answered with an error; with "hang": true, never.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

class FakeUDisks : public QDBusVirtualObject {
public:
    FakeUDisks(QJsonObject state, QString log) : m_state(std::move(state)), m_log(std::move(log)) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QString member = message.member();
        QString logged = member + QLatin1Char(' ') + message.path();
        QVariantList answer;
        if (m_state.value("hang").toBool()) {
            log(logged);
            return true;
        }
        if (m_state.value("fail").toBool()) {
            log(logged);
            return connection.send(message.createErrorReply(
                QStringLiteral("org.freedesktop.UDisks2.Error.Failed"), QStringLiteral("broken")));
        }
        if (member == QLatin1String("GetManagedObjects")) {
            answer << QVariant::fromValue(objects());
        } else if (member == QLatin1String("LoopSetup")) {
            const auto fd = qvariant_cast<QDBusUnixFileDescriptor>(message.arguments().value(0));
            logged +=
                QLatin1Char(' ') +
                QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd.fileDescriptor()));
            answer << QVariant::fromValue(QDBusObjectPath(kLoop));
        } else if (member == QLatin1String("Mount")) {
            const QString point = m_state.value("loopMountPoint").toString();
            QDir().mkpath(point);
            answer << point;
        }
        log(logged);
        return connection.send(message.createReply(answer));
    }

private:
    static constexpr const char* kLoop = "/org/freedesktop/UDisks2/block_devices/loop0";

    ManagedObjects objects() const {
        ManagedObjects all;
        const QJsonArray volumes = m_state.value("volumes").toArray();
        for (qsizetype i = 0; i < volumes.size(); ++i) {
            const QJsonObject volume = volumes[i].toObject();
            QByteArrayList points;
            if (volume.contains("mountPoint"))
                points << QFile::encodeName(volume.value("mountPoint").toString()) + '\0';
            Interfaces interfaces;
            interfaces["org.freedesktop.UDisks2.Block"] = {
                {"IdLabel", volume.value("label").toString()},
                {"Size", quint64(volume.value("size").toDouble())},
                {"HintSystem", volume.value("system").toBool()},
                {"HintIgnore", false}};
            interfaces["org.freedesktop.UDisks2.Filesystem"] = {
                {"MountPoints", QVariant::fromValue(points)}};
            all.insert(QDBusObjectPath(QStringLiteral("/org/freedesktop/UDisks2/block_devices/sd%1")
                                           .arg(QChar(char('a' + i)))),
                       interfaces);
        }
        return all;
    }

    void log(const QString& line) const {
        QFile file(m_log);
        if (file.open(QIODevice::Append))
            file.write(line.toUtf8() + '\n');
    }

    QJsonObject m_state;
    QString m_log;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4) {
        std::fputs("usage: fake-udisks2 <bus address> <volumes.json> <log>\n", stderr);
        return 2;
    }
    qDBusRegisterMetaType<Interfaces>();
    qDBusRegisterMetaType<ManagedObjects>();
    qDBusRegisterMetaType<QByteArrayList>();
    QFile stateFile(QString::fromLocal8Bit(argv[2]));
    stateFile.open(QIODevice::ReadOnly);
    FakeUDisks fake(QJsonDocument::fromJson(stateFile.readAll()).object(),
                    QString::fromLocal8Bit(argv[3]));
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), "fake");
    if (!bus.registerVirtualObject(QStringLiteral("/org/freedesktop/UDisks2"), &fake,
                                   QDBusConnection::SubPath) ||
        !bus.registerService(QStringLiteral("org.freedesktop.UDisks2"))) {
        std::fputs("fake-udisks2: cannot register on the bus\n", stderr);
        return 1;
    }
    return QCoreApplication::exec();
}
