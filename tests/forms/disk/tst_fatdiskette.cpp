// SPDX-License-Identifier: MIT
// A real diskette: a 1.44 MB FAT12 image made with mkfs.fat, filled with mtools (upper-case
// names, attributes set with mattrib) and mounted with fusefat, serves as drive A:.
#include "Ctl.h"
#include "DiskFixture.h"
#include "HookRecorders.h"
#include "TestPrefix.h"

#include "engine/DiskDisplay.h"
#include "forms/disk/DiskProperties.h"
#include "host/gui/FormInstance.h"
#include "host/media/DriveA.h"
#include "module1/Module1.h"
#include "storage/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace vortle;

namespace {

// Runs a tool; its output, or an empty optional when it failed.
std::optional<QByteArray> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MTOOLS_SKIP_CHECK", "1");
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

} // namespace

class TestFatDiskette : public QObject {
    Q_OBJECT
private slots:
    void displayExecuteLinkAndSave();
};

void TestFatDiskette::displayExecuteLinkAndSave() {
    for (const char* tool : {"mkfs.fat", "mcopy", "mattrib", "fusefat", "fusermount"})
        if (QStandardPaths::findExecutable(tool, {"/usr/sbin", "/sbin", "/usr/bin", "/bin"})
                .isEmpty())
            QSKIP(qPrintable(QStringLiteral("skipped: %1 is not installed").arg(tool)));
    if (!QFile::exists("/dev/fuse"))
        QSKIP("skipped: FUSE is not available here (no /dev/fuse)");

    TestPrefix prefix;
    MessageBoxRecorder boxes;
    const QString image = prefix.root() + "/floppy.img";
    const auto mtools = [&](const QString& tool, QStringList arguments) {
        return run(tool, QStringList{"-i", image} + arguments);
    };
    QVERIFY(run(QStandardPaths::findExecutable("mkfs.fat", {"/usr/sbin", "/sbin"}),
                {"-C", image, "1440"}));

    // The diskette's files, written elsewhere: upper-case names, the icon read-only and hidden.
    const QString staging = prefix.root() + "/staging";
    QDir().mkpath(staging);
    prefix.pointDrive('a', staging);
    writeDiskSettings("FAT DISK",
                      {{"1", "a:\\data\\src.txt", "c:\\from-fat.txt"}, {"0", "c:\\fat dir", ""}});
    prefix.writeHostFile("staging/SRC.TXT", "on the diskette");
    QVERIFY(mtools("mcopy", {staging + "/VRTLSettings.sys", "::VRTLSETTINGS.SYS"}));
    QVERIFY(mtools("mcopy", {QStringLiteral(VORTLE_RESOURCES "/diskette.ico"), "::VRTLICON.SYS"}));
    QVERIFY(mtools("mmd", {"::DATA"}));
    QVERIFY(mtools("mcopy", {staging + "/SRC.TXT", "::DATA/SRC.TXT"}));
    QVERIFY(mtools("mattrib", {"+r", "+h", "::VRTLICON.SYS"}));

    // Attached as the program's "Diskette image..." does; a file that holds no FAT is refused.
    QVERIFY(!host::DriveA::attachImage(staging + "/SRC.TXT"));
    if (!host::DriveA::attachImage(image))
        QSKIP("skipped: fusefat cannot mount here");
    struct Detach {
        ~Detach() { host::DriveA::detachImage(); }
    } detach;
    QCOMPARE(host::DriveA::target(), prefix.prefix() + "/diskette-image");

    DiskDisplay picIcon{QImage(), QString()};
    Module1::setDiskDisplay(&picIcon);
    Module1::ReloadDiskSettings();
    QCOMPARE(picIcon.toolTip(), QStringLiteral("FAT DISK"));
    QCOMPARE(picIcon.picture().size(), QSize(32, 32));

    Module1::ExecuteLink();
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(prefix.readHostFile(prefix.driveC() + "/from-fat.txt"), QByteArray("on the diskette"));
    QVERIFY(QFileInfo(prefix.driveC() + "/fat dir").isDir());

    // A save with a new name and a new icon.
    QImage newIcon(32, 32, QImage::Format_ARGB32);
    newIcon.fill(Qt::red);
    newIcon.save(prefix.driveC() + "/red.ico", "ICO");
    DiskProperties* window = host::FormInstance<DiskProperties>::show();
    QCOMPARE(ctl<QListWidget>(window, "lstActions")->count(), 2);
    ctl<QLineEdit>(window, "txtName")->setText("Renamed on FAT");
    ctl<QLineEdit>(window, "txtIcon")->setText("c:\\red.ico");
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(boxes.prompts(), QStringList());
    QCOMPARE(picIcon.toolTip(), QStringLiteral("Renamed on FAT"));
    Module1::setDiskDisplay(nullptr);

    host::DriveA::detachImage();
    // What the diskette holds now, read with mtools.
    const std::optional<QByteArray> settings = mtools("mtype", {"-t", "::VRTLSETTINGS.SYS"});
    QVERIFY(settings);
    QVERIFY(settings->startsWith(QByteArray("\x08\x00\x0e\x00"
                                            "Renamed on FAT",
                                            18)));
    const std::optional<QByteArray> icon = mtools("mtype", {"::VRTLICON.SYS"});
    QVERIFY(icon);
    QCOMPARE(*icon, prefix.readHostFile(prefix.driveC() + "/red.ico"));
    const std::optional<QByteArray> listing = mtools("mdir", {"-a", "::"});
    QVERIFY(listing);
    QVERIFY2(!listing->contains(".tmp") && !listing->contains("VRTL~"), listing->constData());
}

QTEST_MAIN(TestFatDiskette)
#include "tst_fatdiskette.moc"
