// SPDX-License-Identifier: MIT
// Faults a user's diskette meets: pulled while the list runs, and files that are huge or
// garbage. Nothing may be lost and nothing may crash.
#include "DiskFixture.h"
#include "PrefixTest.h"

#include "ErrorOf.h"

#include "engine/DiskDisplay.h"
#include "host/core/RuntimeError.h"
#include "module1/MediumWait.h"
#include "module1/Module1.h"
#include "storage/Profiles.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <sys/mount.h>
#include <thread>

using namespace vortle;

class TestFaults : public PrefixTest {
    Q_OBJECT
private slots:
    void diskettePulledDuringExecuteLink();
    void hugeAndGarbageFiles_data();
    void hugeAndGarbageFiles();
    void slowMediumKeepsTheWindowsFree_data();
    void slowMediumKeepsTheWindowsFree();
};

namespace {

bool visibleWaitingWindow() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* window) {
        return window->isVisible() && window->windowTitle() == "Vortle";
    });
}

} // namespace

void TestFaults::slowMediumKeepsTheWindowsFree_data() {
    QTest::addColumn<int>("answersAfterMs"); // the test's limit is 1.5 s
    QTest::addColumn<int>("error");
    QTest::newRow("a medium that answers after a second") << 1000 << 0;
    QTest::newRow("a medium that never answers") << 60000 << int(host::ErrDiskNotReady);
}

void TestFaults::slowMediumKeepsTheWindowsFree() {
    QFETCH(int, answersAfterMs);
    QFETCH(int, error);
    // The window thread's longest wait, seen by a timer that wants to run every 5 ms; and a
    // click that comes meanwhile, which no handler may see.
    QPushButton button;
    button.show();
    int clicks = 0;
    connect(&button, &QPushButton::clicked, &button, [&] { ++clicks; });
    QElapsedTimer sinceTick;
    qint64 longestWait = 0;
    bool waitingShown = false;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, &button, [&] {
        longestWait = std::max(longestWait, sinceTick.restart());
        QTest::mouseClick(&button, Qt::LeftButton);
        waitingShown = waitingShown || visibleWaitingWindow();
    });
    ticks.start(5);
    sinceTick.start();
    QElapsedTimer clock;
    clock.start();
    const int got = errorOf([&] {
        Module1::waitForMedium([answersAfterMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(answersAfterMs));
        });
    });
    longestWait = std::max(longestWait, sinceTick.elapsed());
    QCOMPARE(got, error);
    QCOMPARE(clicks, 0);
    qInfo("waited %lld ms; the window thread at most %lld ms at a time", clock.elapsed(),
          longestWait);
    QVERIFY(longestWait < 100);
    QVERIFY(clock.elapsed() < 2500);
    QCOMPARE(waitingShown, answersAfterMs > 500); // after half a second, and gone again
    QVERIFY(!visibleWaitingWindow());
}

void TestFaults::diskettePulledDuringExecuteLink() {
    const QByteArray data(1474560, 'd');
    for (int attempt = 0; attempt < 5; ++attempt) {
        auto disk = std::make_unique<TmpfsMount>(
            m_prefix->root() + "/disk" + QString::number(attempt), false, 4096);
        if (!disk->isMounted())
            QSKIP("cannot mount a removable medium here");
        m_prefix->pointDrive('a', disk->path());
        m_prefix->writeHostFile(disk->path().mid(m_prefix->root().size() + 1) + "/disk.img", data);
        QList<DiskSettings::Action> actions;
        for (int i = 0; i < 101; ++i)
            actions.append(
                {"1", "a:\\disk.img", QStringLiteral("c:\\out%1\\f%2.img").arg(attempt).arg(i)});
        writeDiskSettings("Pulled", actions);
        QDir().mkpath(m_prefix->driveC() + QStringLiteral("/out%1").arg(attempt));
        m_boxes->boxes.clear();

        // The diskette leaves the drive while the list runs.
        const QByteArray mountPoint = QFile::encodeName(disk->path());
        std::thread pull([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(4 + 4 * attempt));
            ::umount2(mountPoint.constData(), MNT_DETACH);
        });
        Module1::ExecuteLink();
        pull.join();

        const QDir out(m_prefix->driveC() + QStringLiteral("/out%1").arg(attempt));
        const QStringList copies = out.entryList(QDir::Files | QDir::Hidden);
        if (copies.size() == 101)
            continue; // the run was done before the diskette went: try again
        if (copies.isEmpty() && m_boxes->boxes.isEmpty())
            continue; // gone before the list was read: its empty mount point had no list
        QCOMPARE(m_boxes->prompts(), QStringList{"Couldn't execute action."});
        // What was copied is whole; nothing half-written was left behind.
        for (const QString& name : copies) {
            QVERIFY2(name.startsWith('f') && name.endsWith(".img"), qPrintable(name));
            QCOMPARE(QFileInfo(out.filePath(name)).size(), data.size());
        }
        return;
    }
    QSKIP("the list always ran to its end before the diskette was pulled");
}

void TestFaults::hugeAndGarbageFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("huge sparse files") << "sparse";
    QTest::newRow("megabytes of garbage") << "garbage";
    QTest::newRow("truncated in the middle of a record") << "truncated";
}

void TestFaults::hugeAndGarbageFiles() {
    QFETCH(QString, kind);
    const QString diskFile = m_prefix->driveA() + "/VRTLSettings.sys";
    const QString profilesFile = m_prefix->driveC() + "/windows/system/VRTLProfiles.dll";
    if (kind == "sparse") {
        writeDiskSettings("Huge", {{"0", "c:\\from huge", ""}});
        Profiles::writeAllProfiles(Profiles::ProfilesPath(), {{"Kept", ""}});
        for (const QString& path : {diskFile, profilesFile})
            QVERIFY(QFile::resize(path, qint64(4) << 30)); // 4 GiB, mostly never written
    } else if (kind == "garbage") {
        QByteArray noise(8 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        m_prefix->writeHostFile("data/vortle/drive_a/VRTLSettings.sys", noise);
        m_prefix->writeHostFile("data/vortle/drive_c/windows/system/VRTLProfiles.dll", noise);
    } else {
        writeDiskSettings("Cut", {{"0", "c:\\from cut", ""}, {"1", "a:\\x", "c:\\y"}});
        QVERIFY(QFile::resize(diskFile, 128 + 2));
        Profiles::writeAllProfiles(Profiles::ProfilesPath(), {{"Whole", "a"}, {"Cut short", "b"}});
        QVERIFY(QFile::resize(profilesFile, 2 * 128 + 6));
    }

    DiskDisplay picIcon{QImage(), QString()};
    Module1::setDiskDisplay(&picIcon);
    Module1::ReloadDiskSettings();
    Module1::ExecuteLink();
    const QList<Profiles::Profile> profiles = Profiles::readAllProfiles(Profiles::ProfilesPath());
    Module1::setDiskDisplay(nullptr);
    QVERIFY(profiles.size() <= Profiles::kMaxProfiles);
    if (kind == "sparse") {
        QCOMPARE(picIcon.toolTip(), QStringLiteral("Huge"));
        QVERIFY(QFileInfo(m_prefix->driveC() + "/from huge").isDir());
        QCOMPARE(profiles, (QList<Profiles::Profile>{{"Kept", ""}}));
    }
    if (kind == "truncated") {
        QCOMPARE(picIcon.toolTip(), QStringLiteral("Cut"));
        QVERIFY(!QFileInfo(m_prefix->driveC() + "/from cut").exists()); // its kind code is gone
        QCOMPARE(profiles.size(), 2);
        // The bytes missing at the end of the file read as zero.
        QCOMPARE(profiles[1].name, QStringLiteral("Cu") + QString(7, QChar(0)));
    }
    // Only a failing action may speak; none of the readers does.
    for (const QString& prompt : m_boxes->prompts())
        QCOMPARE(prompt, QStringLiteral("Couldn't execute action."));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
