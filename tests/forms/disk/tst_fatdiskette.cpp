// SPDX-License-Identifier: MIT
// A real diskette: a 1.44 MB FAT12 image made with mkfs.fat, filled with mtools (upper-case
// names, attributes set with mattrib) and mounted read-only with fusefat, serves as drive A:. In
// the guest stage (VORTLE_FAT_KERNEL, tests/guest/), FAT12 and exFAT images are served by the
// kernel's own vfat and exfat, mounted as the desktop's disk service mounts a stick.
#include "Ctl.h"
#include "DiskFixture.h"
#include "HookRecorders.h"
#include "TestPrefix.h"

#include "ErrorOf.h"

#include "engine/DiskDisplay.h"
#include "forms/app/Notes.h"
#include "forms/disk/DiskProperties.h"
#include "host/core/FileSystem.h"
#include "host/gui/FormInstance.h"
#include "host/media/DriveA.h"
#include "module1/Module1.h"
#include "storage/RecordFile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
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
    void kernelFileSystems_data();
    void kernelFileSystems();
    void imageThroughTheDiskService();
};

void TestFatDiskette::kernelFileSystems_data() {
    QTest::addColumn<QString>("type");
    QTest::newRow("FAT12 through vfat") << "vfat";
    QTest::newRow("exFAT through exfat") << "exfat";
}

void TestFatDiskette::kernelFileSystems() {
    QFETCH(QString, type);
    if (qEnvironmentVariableIsEmpty("VORTLE_FAT_KERNEL"))
        QSKIP("the kernel's file systems are tested in the guest stage (tst_kernelfat)");
    const bool fat = type == "vfat";
    TestPrefix prefix;
    MessageBoxRecorder boxes;
    const QString image = prefix.root() + "/stick.img", mount = prefix.root() + "/media/HOLIDAY";
    const auto mtools = [&](const QString& tool, QStringList arguments) {
        return run(tool, QStringList{"-i", image} + arguments);
    };
    QVERIFY(QDir().mkpath(mount));
    if (fat) {
        QVERIFY(run("mkfs.fat", {"-C", "-n", "HOLIDAY", image, "1440"}));
        // Written elsewhere: an 8.3 name in lower case (its case flags, as mtools and Windows
        // NT write them) and a file marked read-only there.
        prefix.writeHostFile("src.txt", "on the stick");
        QVERIFY(mtools("mmd", {"::data"}));
        QVERIFY(mtools("mcopy", {prefix.root() + "/src.txt", "::data/src.txt"}));
        QVERIFY(mtools("mcopy", {prefix.root() + "/src.txt", "::LOCKED.TXT"}));
        QVERIFY(mtools("mattrib", {"+r", "::LOCKED.TXT"}));
    } else {
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(8 << 20));
        file.close();
        QVERIFY(run("mkfs.exfat", {"-L", "HOLIDAY", image}));
    }
    // As udisks2 mounts a stick.
    const auto mounted = [&] {
        return run("mount",
                   {"-t", type, "-o",
                    fat ? "loop,shortname=mixed,utf8,flush" : "loop,iocharset=utf8", image, mount})
            .has_value();
    };
    QVERIFY(mounted());
    auto unmount = qScopeGuard([&] { run("umount", {mount}); });
    prefix.pointDrive('a', mount);
    if (!fat)
        prefix.writeHostFile("media/HOLIDAY/data/src.txt", "on the stick");
    prefix.writeHostFile("media/HOLIDAY/Übung.txt", "non-ASCII");
    QFile::copy(QStringLiteral(VORTLE_RESOURCES "/diskette.ico"), mount + "/VRTLIcon.sys");
    writeDiskSettings("HOLIDAY", {{"1", "a:\\DATA\\SRC.TXT", "c:\\from-stick.txt"},
                                  {"1", "a:\\übung.TXT", "c:\\Übung.txt"}});

    DiskDisplay picIcon{QImage(), QString()};
    Module1::setDiskDisplay(&picIcon);
    Module1::ReloadDiskSettings();
    QCOMPARE(picIcon.toolTip(), QStringLiteral("HOLIDAY"));
    QCOMPARE(picIcon.picture().size(), QSize(32, 32));
    Module1::ExecuteLink(); // the list names its files in another case
    QCOMPARE(boxes.prompts(), QStringList());
    QCOMPARE(prefix.readHostFile(prefix.driveC() + "/from-stick.txt"), QByteArray("on the stick"));
    QCOMPARE(prefix.readHostFile(prefix.driveC() + "/Übung.txt"), QByteArray("non-ASCII"));
    if (fat) { // marked read-only on another machine: neither replaced nor deleted
        QCOMPARE(errorOf([] { host::copyFile("c:\\Übung.txt", "a:\\locked.txt"); }), 75);
        QCOMPARE(errorOf([] { host::deleteFiles("a:\\locked.txt"); }), 75);
        QCOMPARE(prefix.readHostFile(mount + "/LOCKED.TXT"), QByteArray("on the stick"));
    }

    // Disk Properties' and Notes' saves.
    DiskProperties* window = host::FormInstance<DiskProperties>::show();
    ctl<QLineEdit>(window, "txtName")->setText("Saved on the kernel's " + type);
    ctl<QPushButton>(window, "Command2")->click();
    Notes* notes = host::FormInstance<Notes>::show();
    ctl<QPlainTextEdit>(notes, "txtText")->setPlainText("a note\nof two lines");
    ctl<QPushButton>(notes, "Command2")->click();
    QCOMPARE(boxes.prompts(), QStringList());
    QCOMPARE(picIcon.toolTip(), "Saved on the kernel's " + type);
    QCOMPARE(prefix.readHostFile(mount + "/VRTLNotes.sys"), QByteArray("a note\r\nof two lines"));
    Module1::setDiskDisplay(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    unmount.dismiss();
    QVERIFY(run("umount", {mount}));
    if (!fat) {
        QVERIFY(run("fsck.exfat", {"-n", image}));
        return;
    }
    // What another FAT implementation finds: a clean file system, the icon read-only and
    // hidden, 8.3 aliases and today's date.
    QVERIFY(run("fsck.fat", {"-n", image}));
    const std::optional<QByteArray> marks = mtools("mattrib", {"::VRTLICON.SYS"});
    QVERIFY(marks);
    QVERIFY2(marks->contains("R") && marks->contains("H"), marks->constData());
    const std::optional<QByteArray> listing = mtools("mdir", {"-a", "::"});
    QVERIFY(listing);
    QVERIFY2(listing->contains("VRTLSE~1 SYS") && listing->contains("VRTLNO~1 SYS") &&
                 listing->contains(QDate::currentDate().toString("yyyy-MM-dd").toLatin1()),
             listing->constData());

    // "Delete a:\*.*" deletes files, never the volume's label.
    QVERIFY(mounted());
    auto unmountAgain = qScopeGuard([&] { run("umount", {mount}); });
    host::setAttributes("a:\\VRTLIcon.sys", host::AttrNormal);
    host::setAttributes("a:\\LOCKED.TXT", host::AttrNormal);
    QCOMPARE(errorOf([] { host::deleteFiles("a:\\*.*"); }), 0);
    unmountAgain.dismiss();
    QVERIFY(run("umount", {mount}));
    QVERIFY(run("fsck.fat", {"-n", image}));
    const std::optional<QByteArray> label = mtools("mlabel", {"-s", "::"});
    QVERIFY(label && label->contains("HOLIDAY"));
}

// "Diskette image..." against the real udisks2 of the guest stage (its system bus, udevd and
// polkitd): attached for writing, refused while another loop device serves the image.
void TestFatDiskette::imageThroughTheDiskService() {
    if (qEnvironmentVariableIsEmpty("VORTLE_FAT_KERNEL"))
        QSKIP("the desktop's disk service is tested in the guest stage (tst_kernelfat)");
    TestPrefix prefix;
    MessageBoxRecorder boxes;
    qputenv("VORTLE_UDISKS_BUS", ""); // the system bus
    const QString image = prefix.root() + "/disk.img";
    QVERIFY(run("mkfs.fat", {"-C", "-n", "IMAGE", image, "1440"}));
    const std::optional<QByteArray> loop = run("losetup", {"--find", "--show", image});
    QVERIFY(loop);
    using Outcome = host::DriveA::ImageAttachment::Outcome;
    const host::DriveA::ImageAttachment other = host::DriveA::attachImage(image);
    run("losetup", {"-d", QString::fromLatin1(loop->trimmed())});
    QCOMPARE(other.outcome, Outcome::InUse);
    QCOMPARE(other.user, QString::fromLatin1(loop->trimmed()));

    QCOMPARE(host::DriveA::attachImage(image).outcome, Outcome::Attached);
    QCOMPARE(host::DriveA::target(), QStringLiteral("/media/root/IMAGE"));
    writeDiskSettings("IMAGE DISK", {});
    DiskDisplay picIcon{QImage(), QString()};
    Module1::setDiskDisplay(&picIcon);
    Module1::ReloadDiskSettings();
    QCOMPARE(picIcon.toolTip(), QStringLiteral("IMAGE DISK"));
    Module1::setDiskDisplay(nullptr);
    host::DriveA::detachImage();
    QCOMPARE(boxes.prompts(), QStringList());
    QVERIFY(!QFileInfo::exists("/media/root/IMAGE/VRTLSettings.sys")); // unmounted
    const std::optional<QByteArray> listing = run("mdir", {"-i", image, "::"});
    QVERIFY(listing && listing->contains("VRTLSE~1 SYS"));
    QVERIFY(run("fsck.fat", {"-n", image}));
}

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

    // Attached as the program's "Diskette image..." does without the desktop's disk service:
    // read-only. A file that holds no FAT is refused, and so is an image that another program
    // serves already (one writer per image).
    using Outcome = host::DriveA::ImageAttachment::Outcome;
    QCOMPARE(host::DriveA::attachImage(staging + "/SRC.TXT").outcome, Outcome::Failed);
    const QString elsewhere = prefix.root() + "/elsewhere";
    QDir().mkpath(elsewhere);
    if (!run("fusefat", {"-o", "ro", image, elsewhere}))
        QSKIP("skipped: fusefat cannot mount here");
    const host::DriveA::ImageAttachment second = host::DriveA::attachImage(image);
    run("fusermount", {"-u", elsewhere});
    QCOMPARE(second.outcome, Outcome::InUse);
    QCOMPARE(second.user, elsewhere);
    QCOMPARE(host::DriveA::target(), staging);
    QCOMPARE(host::DriveA::attachImage(image).outcome, Outcome::ReadOnly);
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

    // A save with a new name and a new icon: nothing can be written.
    QImage newIcon(32, 32, QImage::Format_ARGB32);
    newIcon.fill(Qt::red);
    newIcon.save(prefix.driveC() + "/red.ico", "ICO");
    DiskProperties* window = host::FormInstance<DiskProperties>::show();
    QCOMPARE(ctl<QListWidget>(window, "lstActions")->count(), 2);
    ctl<QLineEdit>(window, "txtName")->setText("Renamed on FAT");
    ctl<QLineEdit>(window, "txtIcon")->setText("c:\\red.ico");
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(boxes.prompts(), QStringList{"Couldn't write on disk."});
    QCOMPARE(picIcon.toolTip(), QStringLiteral("FAT DISK"));
    Module1::setDiskDisplay(nullptr);
    delete window;

    host::DriveA::detachImage();
    // What the diskette holds now, read with mtools: as it was.
    const std::optional<QByteArray> settings = mtools("mtype", {"-t", "::VRTLSETTINGS.SYS"});
    QVERIFY(settings);
    QVERIFY(settings->startsWith(QByteArray("\x08\x00\x08\x00"
                                            "FAT DISK",
                                            12)));
    const std::optional<QByteArray> listing = mtools("mdir", {"-a", "::"});
    QVERIFY(listing);
    QVERIFY2(!listing->contains(".tmp") && !listing->contains("VRTL~"), listing->constData());
}

QTEST_MAIN(TestFatDiskette)
#include "tst_fatdiskette.moc"
