// SPDX-License-Identifier: MIT
#include "DiskFixture.h"
#include "TestPrefix.h"

#include "disk/DiskEngine.h"
#include "disk/ExecuteLinkRun.h"

#include <QDir>
#include <QTest>

// The engine alone: no application with windows, no message box to answer. (The drive check's
// outcomes are covered through CheckDrive.)
class TestDiskEngine : public QObject {
    Q_OBJECT
private slots:
    void readsWhatTheDisketteHolds();
    void failedRunNamesItsActionAndError();
};

void TestDiskEngine::readsWhatTheDisketteHolds() {
    TestPrefix prefix;
    writeDiskSettings("Work", {{"0", "c:\\x", ""}, {"1", "a:\\y", "c:\\y"}});
    const DiskEngine::DiskIdentity identity = DiskEngine::readIdentity(false);
    QCOMPARE(identity.name, QStringLiteral("Work"));
    QVERIFY(identity.image.isNull()); // no icon on the diskette
    const DiskEngine::ActionList list = DiskEngine::readActionList();
    QVERIFY(list.complete);
    QCOMPARE(list.actions.size(), 2);
    QCOMPARE(list.actions[1].secondPath, QStringLiteral("c:\\y"));

    // A settings file that cannot be read is an incomplete, empty list.
    QVERIFY(QFile::remove(prefix.driveA() + "/VRTLSettings.sys"));
    QVERIFY(QDir().mkpath(prefix.driveA() + "/VRTLSettings.sys"));
    QVERIFY(!DiskEngine::readActionList().complete);
}

void TestDiskEngine::failedRunNamesItsActionAndError() {
    TestPrefix prefix;
    ExecuteLinkRun run({{"0", "c:\\first", ""}, {"3", "c:\\none*.x", ""}, {"0", "c:\\after", ""}},
                       false);
    run.start();
    QVERIFY(run.wait(10000));
    QCOMPARE(run.end(), ExecuteLinkRun::End::Failed);
    QCOMPARE(run.failedAction(), 1);
    QCOMPARE(run.error(), 53); // File not found
    QVERIFY(QFileInfo(prefix.driveC() + "/first").isDir());
    QVERIFY(!QFileInfo::exists(prefix.driveC() + "/after"));
}

QTEST_GUILESS_MAIN(TestDiskEngine)
#include "tst_diskengine.moc"
