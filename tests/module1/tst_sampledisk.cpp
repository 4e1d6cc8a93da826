// SPDX-License-Identifier: MIT
// The sample diskette that ./run gives a newcomer shows and runs as its read-me says.
#include "HookRecorders.h"
#include "TestPrefix.h"

#include "engine/DiskDisplay.h"
#include "module1/Module1.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace vortle;

class TestSampleDisk : public QObject {
    Q_OBJECT
private slots:
    void showsItselfAndCopiesItsReadMe();
};

void TestSampleDisk::showsItselfAndCopiesItsReadMe() {
    TestPrefix prefix;
    MessageBoxRecorder boxes;
    const QDir sample(QStringLiteral(VORTLE_RESOURCES "/sample-disk"));
    for (const QString& name : sample.entryList(QDir::Files))
        QVERIFY(QFile::copy(sample.filePath(name), prefix.driveA() + "/" + name));

    DiskDisplay picIcon{QImage(), QString()};
    Module1::setDiskDisplay(&picIcon);
    Module1::ReloadDiskSettings();
    QCOMPARE(picIcon.toolTip(), QStringLiteral("Vortle sample diskette"));
    QCOMPARE(picIcon.picture().size(), QSize(32, 32));

    Module1::ExecuteLink();
    QVERIFY(boxes.boxes.isEmpty());
    // Into the documents folder, where its result can be seen.
    QCOMPARE(prefix.readHostFile(prefix.driveC() + "/My Documents/Vortle Sample/ReadMe.txt"),
             prefix.readHostFile(sample.filePath("ReadMe.txt")));
    Module1::setDiskDisplay(nullptr);
}

QTEST_MAIN(TestSampleDisk)
#include "tst_sampledisk.moc"
