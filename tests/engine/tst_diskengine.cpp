// SPDX-License-Identifier: MIT
#include "ErrorOf.h"
#include "FaultSeam.h"
#include "TestPrefix.h"

#include "engine/DiskEngine.h"
#include "engine/ExecuteLinkRun.h"
#include "host/core/FileSystem.h"

#include <QDir>
#include <QDirIterator>
#include <QScopeGuard>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <utility>

using namespace vortle;

// The engine alone: no application with windows, no message box to answer. (What it reads
// from a diskette is covered through Module1's procedures.)
class TestDiskEngine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ::umask(022); }
    void failedRunNamesItsActionAndError();
    void replacedFileIsFlushedBeforeItsRename_data();
    void replacedFileIsFlushedBeforeItsRename();
    void saveIsFlushedBeforeItsRename();
    void everyDriveIsFlushedBeforeItsRenames();
    void failedIconCopyKeepsItsMarks();
    // A medium that someone else prepared: links, mode bits, a swapped medium, a changing file.
    void mediumNeverReachesTheUsersFiles_data();
    void mediumNeverReachesTheUsersFiles();
};

void TestDiskEngine::failedRunNamesItsActionAndError() {
    TestPrefix prefix;
    ExecuteLinkRun run({{"0", "c:\\first", ""}, {"3", "c:\\none*.x", ""}, {"0", "c:\\after", ""}});
    run.start();
    QVERIFY(run.wait(10000));
    QCOMPARE(run.end(), ExecuteLinkRun::End::Failed);
    QCOMPARE(run.failedAction(), 1);
    QCOMPARE(run.error(), 53); // File not found
    QVERIFY(QFileInfo(prefix.driveC() + "/first").isDir());
    QVERIFY(!QFileInfo::exists(prefix.driveC() + "/after"));
}

void TestDiskEngine::replacedFileIsFlushedBeforeItsRename_data() {
    QTest::addColumn<QList<DiskSettings::Action>>("actions");
    QTest::addColumn<QStringList>("renames"); // in the order they must come
    QTest::addColumn<QByteArray>("two");      // c:\two.txt after the run; null for none
    // Every copy has its contents on the medium before its rename, so a pull never leaves an
    // empty or half-written file under a list's name; copies in a row share that flush.
    QTest::newRow("copies in a row")
        << QList<DiskSettings::Action>{{"1", "a:\\new.txt", "c:\\new.txt"},
                                       {"1", "a:\\old.txt", "c:\\old.txt"},
                                       {"1", "a:\\new.txt", "c:\\two.txt"}}
        << QStringList{"rename new.txt", "rename old.txt", "rename two.txt"} << QByteArray("new");
    // What an action reads or removes, it finds as the copies before it left it.
    QTest::newRow("a copy of a replaced file")
        << QList<DiskSettings::Action>{{"1", "a:\\old.txt", "c:\\old.txt"},
                                       {"1", "c:\\old.txt", "c:\\two.txt"}}
        << QStringList{"rename old.txt", "rename two.txt"} << QByteArray("replacement");
    QTest::newRow("a copy of a new file")
        << QList<DiskSettings::Action>{{"1", "a:\\new.txt", "c:\\three.txt"},
                                       {"1", "c:\\three.txt", "c:\\two.txt"}}
        << QStringList{"rename three.txt", "rename two.txt"} << QByteArray("new");
    QTest::newRow("a delete after a replacing copy")
        << QList<DiskSettings::Action>{{"1", "a:\\new.txt", "c:\\two.txt"},
                                       {"3", "c:\\two.txt", ""}}
        << QStringList{"rename two.txt"} << QByteArray();
}

void TestDiskEngine::replacedFileIsFlushedBeforeItsRename() {
    QFETCH(QList<DiskSettings::Action>, actions);
    QFETCH(QStringList, renames);
    QFETCH(QByteArray, two);
    TestPrefix prefix;
    prefix.writeHostFile("data/vortle/drive_a/new.txt", "new");
    prefix.writeHostFile("data/vortle/drive_a/old.txt", "replacement");
    prefix.writeHostFile("data/vortle/drive_c/old.txt", "old");
    prefix.writeHostFile("data/vortle/drive_c/two.txt", "two");
    ExecuteLinkRun run(actions);
    FaultSeam::startRecording();
    run.start();
    QVERIFY(run.wait(10000));
    FaultSeam::stopRecording();
    QCOMPARE(run.end(), ExecuteLinkRun::End::Done);
    // What must hold, not the whole sequence: a flush between the last write and every rename,
    // the renames in the list's order, and the drives synced at the end.
    const QStringList calls = FaultSeam::calls();
    QCOMPARE(calls.filter("rename "), renames);
    QVERIFY2(FaultSeam::flushedBeforeEveryRename(), qPrintable(calls.join(", ")));
    QCOMPARE(calls.last(), QStringLiteral("syncfs"));
    QCOMPARE(prefix.readHostFile(prefix.driveC() + "/two.txt"), two);
}

// A window's save, outside a run: the new file is on the medium before it takes the old one's
// name, so a pull at any moment leaves the old file or the new one.
void TestDiskEngine::saveIsFlushedBeforeItsRename() {
    TestPrefix prefix;
    for (const char* name : {"VRTLSettings.sys", "VRTLNotes.sys", "VRTLIcon.sys"})
        prefix.writeHostFile(QStringLiteral("data/vortle/drive_a/") + name, "old");
    prefix.writeHostFile("data/vortle/drive_c/new.ico", "new");
    const std::function<void()> saves[] = {[] { DiskEngine::writeSettings("New", {}); },
                                           [] { DiskEngine::writeNote("new"); },
                                           [] { DiskEngine::replaceIcon("c:\\new.ico"); }};
    for (const std::function<void()>& save : saves) {
        FaultSeam::startRecording();
        save();
        FaultSeam::stopRecording();
        QVERIFY2(!FaultSeam::calls().filter("rename ").isEmpty() &&
                     FaultSeam::flushedBeforeEveryRename(),
                 qPrintable(FaultSeam::calls().join(", ")));
    }
}

// Replacing copies onto two drives wait together: each drive is flushed before the renames.
void TestDiskEngine::everyDriveIsFlushedBeforeItsRenames() {
    TestPrefix prefix;
    TmpfsMount stick(prefix.root() + "/stick", false);
    if (!stick.isMounted())
        QSKIP("cannot mount a second file system here");
    prefix.pointDrive('a', stick.path());
    for (const QString& drive : {QString("stick/"), QString("data/vortle/drive_c/")}) {
        prefix.writeHostFile(drive + "old.txt", "old");
        prefix.writeHostFile(drive + "new.txt", "new");
    }
    ExecuteLinkRun run({{"1", "c:\\new.txt", "a:\\old.txt"}, {"1", "a:\\new.txt", "c:\\old.txt"}});
    FaultSeam::startRecording();
    run.start();
    QVERIFY(run.wait(10000));
    FaultSeam::stopRecording();
    QCOMPARE(run.end(), ExecuteLinkRun::End::Done);
    QVERIFY2(FaultSeam::flushedBeforeEveryRename(), qPrintable(FaultSeam::calls().join(", ")));
}

// An icon that could not be replaced keeps its read-only and hidden marks.
void TestDiskEngine::failedIconCopyKeepsItsMarks() {
    TestPrefix prefix;
    prefix.writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "old");
    prefix.writeHostFile("data/vortle/drive_c/new.ico", "new");
    host::setAttributes("a:\\VRTLIcon.sys", host::AttrReadOnly | host::AttrHidden);
    FaultSeam::failNext("rename", EIO);
    QCOMPARE(errorOf([] { DiskEngine::replaceIcon("c:\\new.ico"); }), 71);
    QCOMPARE(host::getAttributes("a:\\VRTLIcon.sys") & (host::AttrReadOnly | host::AttrHidden),
             host::AttrReadOnly | host::AttrHidden);
}

namespace {

// Every entry below the test's folder but the drives' own: path, mode (links not followed), and
// contents.
QStringList userFiles(const TestPrefix& prefix) {
    QStringList entries;
    for (QDirIterator it(prefix.root(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        struct stat st {};
        ::lstat(QFile::encodeName(it.next()).constData(), &st);
        if (it.filePath().contains("/drive_a/") || it.filePath().contains("/drive_c/"))
            continue;
        QFile file(it.filePath());
        entries << it.filePath() + QString::number(st.st_mode, 8) +
                       (file.open(QIODevice::ReadOnly) ? file.readAll() : "");
    }
    entries.sort();
    return entries;
}

} // namespace

void TestDiskEngine::mediumNeverReachesTheUsersFiles_data() {
    QTest::addColumn<QString>("link");    // "entry on a:>its target" ("=": the target as written)
    QTest::addColumn<QString>("command"); // an engine call, or actions "kind|path|path;..."
    QTest::addColumn<QString>("outcome");
    const char* const rows[][4] = {
        {"note linked to a key: read", "VRTLNotes.sys>home/.ssh/id_rsa", "readNote", "53"},
        {"note linked to a key: saved", "VRTLNotes.sys>home/.ssh/id_rsa", "writeNote", "0"},
        {"icon linked to home: note saved", "VRTLIcon.sys>home", "writeNote", "0"},
        {"icon linked to a read-only file", "VRTLIcon.sys>home/ro.txt", "replaceIcon", "0"},
        {"dangling settings: reload", "VRTLSettings.sys>home/autostart/x.desktop", "reload", ""},
        {"dangling settings: saved", "VRTLSettings.sys>home/autostart/x", "writeSettings", "0"},
        {"copy through a link above", "up>=../..", "1|c:\\x.txt|a:\\up\\x.txt", "failed 75"},
        {"delete through a link to home", "docs>home", "3|a:\\docs\\*.txt|", "failed 75"},
        {"a link within the drive", "inner>=sub", "1|a:\\inner\\f.txt|c:\\f.txt", "done"},
        {"set-user-ID copy", "", "1|a:\\tool|c:\\tool", "done 755"},
        {"source grows while copied", "", "1|a:\\report.txt|c:\\report.txt", "failed 75"},
        {"a sparse terabyte onto drive C:", "", "1|a:\\sparse.bin|c:\\report.txt", "failed 61"},
        // A dying medium at the moments that decide: nothing reported done that is not on the
        // medium, and a Move whose copy is not in place keeps its source.
        {"the run's last flush fails", "", "fail syncfs 0|c:\\made|", "failed 71"},
        {"a move whose rename fails", "", "fail rename 2|a:\\sub\\f.txt|c:\\moved.txt",
         "failed 71"},
        // A waiting copy that fails when a later action settles it is that copy's failure.
        {"a waiting copy fails later", "",
         "fail rename 1|a:\\sub\\f.txt|c:\\x.txt;0|c:\\made|;1|c:\\x.txt|c:\\y.txt",
         "failed 71 at 1"},
        {"a waiting copy's flush fails", "",
         "fail syncfs 1|a:\\sub\\f.txt|c:\\report.txt;0|c:\\made|", "failed 71 at 1"},
        {"a read-only file made at a new name meanwhile", "",
         "made meanwhile 1|a:\\sub\\f.txt|c:\\fresh.txt", "failed 75"},
        {"medium swapped during a run", "", "0|c:\\made|;3|a:\\*.*|", "failed 71"},
        // Started from the desktop, the working directory is the home folder.
        {"relative delete", "", "3|*.*|", "done"},
        {"relative copy onto a dot file", "", "1|a:\\sub\\f.txt|.profile", "done"},
        {"a leading blank", "", "3| a:\\..\\home\\*.*|", "failed 52"},
        {"a folder named a:", "", "3|\\a:\\..\\..\\home\\*.*|", "failed 52"},
        {"a device path", "", "3|\\\\?\\a:\\..\\home\\thesis.odt|", "failed 52"},
        {"a UNC path to home", "", "3|\\\\%ROOT%\\home\\*.*|", "failed 52"},
        // A program of the list works on the medium: its relative paths stay there.
        {"a program writing a dot file", "", "4|cp a:\\sub\\f.txt .profile|", "done"},
        {"icon hard-linked to home: note saved", "VRTLIcon.sys>>home/thesis.odt", "writeNote", "0"},
        // A second thread swaps a folder with a link to home while the runs look it up.
        {"delete while a folder is swapped", "swap>home", "swapping 3|a:\\sub\\*.*|", ""},
        {"copy while a folder is swapped", "swap>home", "swapping 1|c:\\x.txt|a:\\sub\\x.txt", ""},
        {"delete, the folder swapped as it opens", "swap>home", "swap at open 3|a:\\sub\\*.*|", ""},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << row[1] << row[2] << row[3];
}

void TestDiskEngine::mediumNeverReachesTheUsersFiles() {
    QFETCH(QString, link);
    QFETCH(QString, command);
    QFETCH(QString, outcome);
    TestPrefix prefix;
    prefix.writeHostFile("home/.ssh/id_rsa", "SECRET");
    QFile::setPermissions(prefix.writeHostFile("home/ro.txt", "mine"), QFile::ReadOwner);
    prefix.writeHostFile("home/autostart/keep.txt", "keep");
    prefix.writeHostFile("home/thesis.odt", "thesis");
    prefix.writeHostFile("home/.profile", "mine");
    const auto back = qScopeGuard([cwd = QDir::currentPath()] { QDir::setCurrent(cwd); });
    QDir::setCurrent(prefix.root() + "/home");
    prefix.writeHostFile("stick2/photo.jpg", "photo");
    prefix.writeHostFile("data/vortle/drive_a/sub/f.txt", "inner");
    ::chmod(QFile::encodeName(prefix.writeHostFile("data/vortle/drive_a/tool", "#!/bin/sh\n")),
            06777);
    prefix.writeHostFile("data/vortle/drive_a/report.txt", QByteArray(1 << 20, 'r'));
    prefix.writeHostFile("data/vortle/drive_c/report.txt", "old");
    if (command.contains("sparse.bin"))
        QVERIFY(QFile::resize(prefix.writeHostFile("data/vortle/drive_a/sparse.bin", ""),
                              qint64(1) << 40));
    prefix.writeHostFile("data/vortle/drive_c/x.txt", "x");
    const QString a = prefix.driveA() + "/", c = prefix.driveC() + "/";
    DiskEngine::writeSettings("Disk", {});
    if (const QStringList entry = link.split('>'); entry.size() == 2) {
        QFile::remove(a + entry[0]);
        const QString target = entry[1];
        QVERIFY(QFile::link(target.startsWith('=') ? target.mid(1) : prefix.root() + "/" + target,
                            a + entry[0]));
    } else if (entry.size() == 3) { // "entry>>target": a second hard link
        QFile::remove(a + entry[0]);
        QCOMPARE(::link(QFile::encodeName(prefix.root() + "/" + entry[2]).constData(),
                        QFile::encodeName(a + entry[0]).constData()),
                 0);
    }
    const QStringList before = userFiles(prefix);
    QString got;
    const QHash<QString, std::function<void()>> calls{
        {"readNote", [] { DiskEngine::readNote(); }},
        {"writeNote", [] { DiskEngine::writeNote("note"); }},
        {"replaceIcon", [] { DiskEngine::replaceIcon("c:\\x.txt"); }},
        {"writeSettings", [] { DiskEngine::writeSettings("New", {}); }}};
    if (calls.contains(command))
        got = QString::number(errorOf(calls[command]));
    else if (command == "reload")
        got = DiskEngine::readIdentity(DiskEngine::SettingsFile::CreateMissing).name;
    else {
        command.replace("%ROOT%", prefix.root().mid(1).replace('/', '\\'));
        if (command.startsWith("fail ")) {
            FaultSeam::failNext(command.section(' ', 1, 1), EIO);
            command = command.section(' ', 2);
        }
        if (command.startsWith("made meanwhile ")) {
            command = command.mid(15);
            FaultSeam::makeAtRename(QFile::encodeName(c + "fresh.txt"));
        }
        if (command.startsWith("swap at open ")) {
            command = command.mid(13);
            FaultSeam::swapAtOpen(QFile::encodeName(prefix.driveA()));
        }
        const auto disarmed = qScopeGuard([] { FaultSeam::disarm(); });
        std::atomic_bool stop = false;
        std::thread swapper;
        const bool swapping = command.startsWith("swapping ");
        if (swapping) {
            command = command.mid(9);
            swapper = std::thread([&] {
                while (!stop)
                    ::renameat2(AT_FDCWD, QFile::encodeName(a + "sub").constData(), AT_FDCWD,
                                QFile::encodeName(a + "swap").constData(), RENAME_EXCHANGE);
            });
        }
        const auto joined = qScopeGuard([&] {
            stop = true;
            if (swapper.joinable())
                swapper.join();
        });
        QList<DiskSettings::Action> actions;
        for (const QString& action : command.split(';'))
            actions.append(
                {action.section('|', 0, 0), action.section('|', 1, 1), action.section('|', 2, 2)});
        for (int round = 0; round < (swapping ? 40 : 1); ++round) {
            ExecuteLinkRun run(actions);
            // The report grows once while it is copied; another medium goes in before action 2.
            QFile report(a + "report.txt");
            QObject::connect(
                &run, &ExecuteLinkRun::progress, &run,
                [&](const ExecuteLinkProgress& where) {
                    if (where.bytesDone > 0 && !report.isOpen() && report.open(QIODevice::Append))
                        report.write("more") && report.flush();
                    if (where.action == 1)
                        prefix.pointDrive('a', prefix.root() + "/stick2");
                },
                Qt::DirectConnection);
            run.start();
            run.wait();
            got = run.end() == ExecuteLinkRun::End::Done ? "done"
                                                         : QString("failed %1").arg(run.error());
            if (outcome.contains(" at "))
                got += QString(" at %1").arg(run.failedAction() + 1);
        }
        if (swapping || outcome.isEmpty())
            got = outcome;           // done or 75, as the swap fell; what counts is below
        if (command.startsWith('4')) // the program has written its copy somewhere
            QTRY_VERIFY(QFile::exists(a + ".profile") ||
                        prefix.readHostFile(prefix.root() + "/home/.profile") != "mine");
        struct stat st {};
        if (::stat(QFile::encodeName(c + "tool").constData(), &st) == 0) // the umask is 022
            got += " " + QString::number(st.st_mode & 07777, 8);
        QCOMPARE(prefix.readHostFile(c + "report.txt"), QByteArray("old"));
        if (command.startsWith('2')) // a Move's source stays unless its copy arrived
            QCOMPARE(QFile::exists(a + "sub/f.txt"), !outcome.startsWith("done"));
        if (QFile::exists(c + "fresh.txt")) // someone else's, made meanwhile, is kept
            QCOMPARE(prefix.readHostFile(c + "fresh.txt"), QByteArray("theirs"));
    }
    QCOMPARE(got, outcome);
    QCOMPARE(userFiles(prefix), before);
}

QTEST_GUILESS_MAIN(TestDiskEngine)
#include "tst_diskengine.moc"
