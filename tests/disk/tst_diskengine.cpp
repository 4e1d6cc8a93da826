// SPDX-License-Identifier: MIT
#include "TestPrefix.h"

#include "disk/ExecuteLinkRun.h"

#include <QDir>
#include <QTest>

// The engine alone: no application with windows, no message box to answer. (What it reads
// from a diskette is covered through Module1's procedures.)
class TestDiskEngine : public QObject {
    Q_OBJECT
private slots:
    void failedRunNamesItsActionAndError();
};

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
