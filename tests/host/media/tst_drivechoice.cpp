// SPDX-License-Identifier: MIT
// Drive A:'s choices against udisks2: a fake service on a private bus answers for the desktop's
// disk service, or fails, or is not there.
#include "TestPrefix.h"

#include "host/core/FileSystem.h"
#include "host/media/DriveA.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

class TestDriveChoice : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void volumesAsTheServiceKnowsThem();
    void imageThroughALoopDevice();
    void failingOrAbsentServiceFallsBackToTheMountTable();
    void hungServiceIsWaitedForOnce(); // last: the service is then left alone for a while

private:
    bool startFake(const QVariantMap& state);
    QStringList fakeLog() const {
        return QString::fromUtf8(m_prefix->readHostFile(m_prefix->root() + "/fake.log"))
            .split('\n', Qt::SkipEmptyParts);
    }
    QString fatImage() const {
        const QString image = m_prefix->root() + "/disk.img";
        return QProcess::execute("mkfs.fat", {"-C", image, "1440"}) == 0 ? image : QString();
    }

    QProcess m_bus;
    QString m_address;
    std::unique_ptr<TestPrefix> m_prefix;
    std::unique_ptr<QProcess> m_fake;
};

void TestDriveChoice::initTestCase() {
    m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!m_bus.waitForStarted() || !m_bus.waitForReadyRead(5000))
        QSKIP("no dbus-daemon for a private bus");
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
}

void TestDriveChoice::init() {
    m_prefix = std::make_unique<TestPrefix>();
    qputenv("VORTLE_UDISKS_BUS", m_address.toUtf8());
}

void TestDriveChoice::cleanup() {
    host::DriveA::detachImage();
    host::DriveA::setMode(host::DriveA::Mode::Fixed);
    if (m_fake) {
        m_fake->kill();
        m_fake->waitForFinished();
    }
    m_fake.reset();
    qunsetenv("VORTLE_MEDIA_ROOTS");
    m_prefix.reset();
}

void TestDriveChoice::cleanupTestCase() {
    m_bus.kill();
    m_bus.waitForFinished();
}

bool TestDriveChoice::startFake(const QVariantMap& state) {
    const QString stateFile = m_prefix->writeHostFile(
        "fake.json", QJsonDocument::fromVariant(state).toJson(QJsonDocument::Compact));
    m_fake = std::make_unique<QProcess>();
    m_fake->setProcessChannelMode(QProcess::ForwardedChannels);
    m_fake->start(QCoreApplication::applicationDirPath() + "/fake-udisks2",
                  {m_address, stateFile, m_prefix->root() + "/fake.log"});
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, "test");
    for (int i = 0; i < 100; ++i) {
        if (bus.interface()->isServiceRegistered("org.freedesktop.UDisks2"))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void TestDriveChoice::volumesAsTheServiceKnowsThem() {
    // A label outside Windows-1252, a mount point with blanks; the system's own volume and
    // one that is not mounted are no choice.
    const QString stick = m_prefix->root() + "/media/My Stick";
    QDir().mkpath(stick);
    QVERIFY(startFake(
        {{"volumes", QVariantList{
                         QVariantMap{{"label", "Ключ ✓"}, {"size", 8e9}, {"mountPoint", stick}},
                         QVariantMap{{"label", "root"}, {"mountPoint", "/"}, {"system", true}},
                         QVariantMap{{"label", "Unmounted"}, {"size", 1e6}},
                     }}}));
    const QList<host::RemovableVolume> volumes = host::DriveA::removableVolumes();
    QCOMPARE(volumes.size(), 1);
    QCOMPARE(volumes[0].label, QStringLiteral("Ключ ✓"));
    QCOMPARE(volumes[0].bytes, qint64(8000000000));
    QCOMPARE(volumes[0].mountPoint, stick);

    host::DriveA::setMode(host::DriveA::Mode::Follow);
    QVERIFY(host::DriveA::follow());
    QCOMPARE(host::DriveA::target(), stick);
    host::makeDirectory("a:\\Made"); // drive A: works through the blanks
    QVERIFY(QFileInfo(stick + "/Made").isDir());
}

void TestDriveChoice::imageThroughALoopDevice() {
    const QString image = fatImage();
    if (image.isEmpty())
        QSKIP("mkfs.fat is not installed");
    const QString loopPoint = m_prefix->root() + "/loop0";
    QVERIFY(startFake({{"loopMountPoint", loopPoint}}));
    const QString before = host::DriveA::target();
    using Outcome = host::DriveA::ImageAttachment::Outcome;
    QCOMPARE(host::DriveA::attachImage(m_prefix->root() + "/gone.img").outcome, Outcome::Failed);
    QCOMPARE(host::DriveA::attachImage(m_prefix->writeHostFile("text.img", "no FAT here")).outcome,
             Outcome::Failed);
    QCOMPARE(host::DriveA::target(), before);
    QVERIFY(fakeLog().isEmpty()); // neither reached the service

    QCOMPARE(host::DriveA::attachImage(image).outcome, Outcome::Attached);
    QCOMPARE(host::DriveA::target(), loopPoint);
    host::DriveA::detachImage();
    const QString loop = "/org/freedesktop/UDisks2/block_devices/loop0";
    QCOMPARE(fakeLog(), (QStringList{"LoopSetup /org/freedesktop/UDisks2/Manager " + image,
                                     "Mount " + loop, "Unmount " + loop, "Delete " + loop}));
}

void TestDriveChoice::failingOrAbsentServiceFallsBackToTheMountTable() {
    const QString media = m_prefix->root() + "/media";
    qputenv("VORTLE_MEDIA_ROOTS", QFile::encodeName(media));
    TmpfsMount stick(media + "/STICK", false);
    if (!stick.isMounted())
        QSKIP("cannot mount a stick here");
    for (const bool running : {false, true}) {
        if (running)
            QVERIFY(startFake({{"fail", true}}));
        QElapsedTimer clock;
        clock.start();
        const QList<host::RemovableVolume> volumes = host::DriveA::removableVolumes();
        QCOMPARE(volumes.size(), 1);
        QCOMPARE(volumes[0].label, QStringLiteral("STICK"));
        QVERIFY2(clock.elapsed() < 1000, "the window would wait on the service");
        QCOMPARE(fakeLog().size(), running ? 1 : 0);
    }
    // An image the failing service cannot take goes through fusefat instead.
    const QString image = fatImage();
    if (image.isEmpty() || QStandardPaths::findExecutable("fusefat").isEmpty())
        QSKIP("no mkfs.fat or fusefat here");
    using Outcome = host::DriveA::ImageAttachment::Outcome;
    QCOMPARE(host::DriveA::attachImage(image).outcome, Outcome::ReadOnly);
    QCOMPARE(host::DriveA::target(), m_prefix->prefix() + "/diskette-image");
    QVERIFY(fakeLog().last().startsWith("LoopSetup "));
    // One writer per image: what serves it now is named, and it is not attached again.
    const QString mountPoint = m_prefix->prefix() + "/diskette-image";
    QCOMPARE(host::DriveA::imageUser(image), mountPoint);
}

void TestDriveChoice::hungServiceIsWaitedForOnce() {
    qputenv("VORTLE_MEDIA_ROOTS", QFile::encodeName(m_prefix->root() + "/media"));
    QVERIFY(startFake({{"hang", true}}));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(host::DriveA::removableVolumes().isEmpty()); // the mount table's: none here
    QVERIFY(clock.elapsed() < 1500);
    clock.restart();
    host::DriveA::removableVolumes();
    QVERIFY(clock.elapsed() < 100);
    QCOMPARE(fakeLog().size(), 1);
}

QTEST_GUILESS_MAIN(TestDriveChoice)
#include "tst_drivechoice.moc"
