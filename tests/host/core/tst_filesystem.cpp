// SPDX-License-Identifier: MIT
#include "ErrorOf.h"
#include "FaultSeam.h"
#include "PrefixTest.h"

#include "host/core/DosPath.h"
#include "host/core/FileSystem.h"
#include "host/core/RandomAccessFile.h"
#include "host/core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

QStringList entriesOf(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestFileSystem : public PrefixTest {
    Q_OBJECT
private slots:
    void errnoTable_data();
    void errnoTable();
    void attributesAreKeptTheWineWay();
    void readOnlyHoldsEvenForRoot();
    void wildcards_data();
    void wildcards();
    void deleteRemovesMatchingFilesOnly();
    void deleteWithoutMatchIsFileNotFound();
    void copyReplacesTheDestination();
    void copyRefusesTheSameFile();
    void copyFailuresLeaveNoTrace();
    void copyOnAFullMediumLeavesTheOldDestination();
    void namesWindowsCannotHold_data();
    void namesWindowsCannotHold();
    void makeDirectoryErrors();
    void writeProtectedMediumStillReads();
    void writeFileReplacingKeepsTheOldFileOnFailure();
    void saveFailsAtEachStep_data();
    void saveFailsAtEachStep();

private:
    QString a(const QString& name) const { return m_prefix->driveA() + QLatin1Char('/') + name; }
};

void TestFileSystem::errnoTable_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("number");
    QTest::newRow("ENOENT") << ENOENT << 53;
    QTest::newRow("ENOTDIR") << ENOTDIR << 76;
    QTest::newRow("EROFS") << EROFS << 70;
    QTest::newRow("EACCES") << EACCES << 70;
    QTest::newRow("ENOSPC") << ENOSPC << 61;
    QTest::newRow("EDQUOT") << EDQUOT << 61;
    QTest::newRow("EIO") << EIO << 71;
    QTest::newRow("ENOMEDIUM") << ENOMEDIUM << 71;
    QTest::newRow("EISDIR") << EISDIR << 75;
    QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << 52;
}

void TestFileSystem::errnoTable() {
    QFETCH(int, err);
    QFETCH(int, number);
    QCOMPARE(host::errorFromErrno(err), number);
    QCOMPARE(host::RuntimeError(number).description(), host::errorDescription(number));
}

void TestFileSystem::attributesAreKeptTheWineWay() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "icon");
    QCOMPARE(host::getAttributes("a:\\vrtlicon.sys"), int(host::AttrArchive));

    host::setAttributes("a:\\VRTLIcon.sys", host::AttrReadOnly | host::AttrHidden);
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(a("VRTLIcon.sys")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0222, 0u);
    char text[16] = {};
    const ssize_t n = ::getxattr(QFile::encodeName(a("VRTLIcon.sys")).constData(), "user.DOSATTRIB",
                                 text, sizeof text);
    if (n < 0 && errno == ENOTSUP)
        QSKIP("this file system keeps no extended attributes");
    QCOMPARE(QByteArray(text, int(n)), QByteArray("0x2"));
    QCOMPARE(host::getAttributes("a:\\VRTLIcon.sys"),
             host::AttrReadOnly | host::AttrHidden | host::AttrArchive);

    // Wine may store more bits; only hidden and system are taken from the attribute.
    ::setxattr(QFile::encodeName(a("VRTLIcon.sys")).constData(), "user.DOSATTRIB", "0x24", 4, 0);
    QCOMPARE(host::getAttributes("a:\\VRTLIcon.sys"),
             host::AttrReadOnly | host::AttrSystem | host::AttrArchive);

    host::setAttributes("a:\\VRTLIcon.sys", host::AttrNormal);
    QCOMPARE(host::getAttributes("a:\\VRTLIcon.sys"), int(host::AttrArchive));
    QVERIFY(::getxattr(QFile::encodeName(a("VRTLIcon.sys")).constData(), "user.DOSATTRIB", text,
                       sizeof text) < 0);
    QCOMPARE(errorOf([] { host::setAttributes("a:\\missing", host::AttrHidden); }), 53);
    QCOMPARE(host::getAttributes("c:\\windows"), int(host::AttrDirectory));
}

void TestFileSystem::readOnlyHoldsEvenForRoot() {
    m_prefix->writeHostFile("data/vortle/drive_a/locked.txt", "keep");
    m_prefix->writeHostFile("data/vortle/drive_a/src.txt", "new");
    host::setAttributes("a:\\locked.txt", host::AttrReadOnly);
    QCOMPARE(errorOf([] { host::deleteFiles("a:\\locked.txt"); }), 75);
    QCOMPARE(errorOf([] { host::copyFile("a:\\src.txt", "a:\\locked.txt"); }), 75);
    QCOMPARE(errorOf([] { host::writeFileReplacing("a:\\locked.txt", "x"); }), 75);
    QCOMPARE(errorOf([] {
                 auto file = host::RandomAccessFile::open("a:\\locked.txt");
                 QCOMPARE(file.readAt(0, 4), QByteArray("keep"));
                 file.writeAt(0, "x");
             }),
             75);
    QCOMPARE(m_prefix->readHostFile(a("locked.txt")), QByteArray("keep"));
}

void TestFileSystem::wildcards_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("*.* matches a name without a dot") << "*.*"
                                                      << "README" << true;
    QTest::newRow("*.* matches a dotted name") << "*.*"
                                               << "a.b.c" << true;
    QTest::newRow("case is ignored") << "*.TXT"
                                     << "notes.txt" << true;
    QTest::newRow("? is exactly one") << "a?c.txt"
                                      << "abc.txt" << true;
    QTest::newRow("? is not zero") << "a?c.txt"
                                   << "ac.txt" << false;
    QTest::newRow("? before the dot may be none") << "junk?.txt"
                                                  << "junk.txt" << true;
    QTest::newRow("?? at the end may be none") << "notes.t??"
                                               << "NOTES.T" << true;
    QTest::newRow("? does not stand for the dot") << "a?b"
                                                  << "a.b" << false;
    QTest::newRow("star in the middle") << "v*s.sys"
                                        << "VRTLSettings.sys" << true;
    QTest::newRow("extension must match") << "*.lnk"
                                          << "x.lnk.txt" << false;
    QTest::newRow("X.* matches X") << "notes.*"
                                   << "notes" << true;
    QTest::newRow("*. matches only undotted") << "*."
                                              << "x.txt" << false;
    QTest::newRow("*. matches undotted") << "*."
                                         << "x" << true;
    QTest::newRow("plain name") << "VRTLIcon.sys"
                                << "vrtlicon.SYS" << true;
}

void TestFileSystem::wildcards() {
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(host::matchesWildcard(pattern, name), matches);
}

void TestFileSystem::deleteRemovesMatchingFilesOnly() {
    for (const char* name : {"one.lnk", "TWO.LNK", "keep.txt", "noext"})
        m_prefix->writeHostFile(QStringLiteral("data/vortle/drive_c/windows/recent/") + name, "x");
    QDir().mkpath(m_prefix->driveC() + "/windows/recent/folder.lnk");
    host::deleteFiles("c:\\windows\\recent\\*.lnk");
    QCOMPARE(entriesOf(m_prefix->driveC() + "/windows/recent"),
             (QStringList{"folder.lnk", "keep.txt", "noext"}));
    host::deleteFiles("c:\\WINDOWS\\Recent\\*.*");
    QCOMPARE(entriesOf(m_prefix->driveC() + "/windows/recent"), QStringList{"folder.lnk"});
}

void TestFileSystem::deleteWithoutMatchIsFileNotFound() {
    QCOMPARE(errorOf([] { host::deleteFiles("c:\\recycled\\*.*"); }), 53);
    QCOMPARE(errorOf([] { host::deleteFiles("a:\\missing.txt"); }), 53);
    QCOMPARE(errorOf([] { host::deleteFiles("c:\\windows"); }), 53); // a folder is no file
    QCOMPARE(errorOf([] { host::deleteFiles("a:\\nofolder\\*.*"); }), 76);
    m_prefix->removeDrive('a');
    QCOMPARE(errorOf([] { host::deleteFiles("a:\\*.*"); }), 68);
}

void TestFileSystem::copyReplacesTheDestination() {
    m_prefix->writeHostFile("data/vortle/drive_a/DATA/SRC.TXT", "fresh");
    const QString tool = m_prefix->writeHostFile("data/vortle/drive_a/tool.sh", "#!/bin/sh\n");
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
    QDir().mkpath(m_prefix->driveC() + "/dest");
    m_prefix->writeHostFile("data/vortle/drive_c/dest/Out.txt", "old contents");

    host::copyFile("a:\\data\\src.txt", "c:\\dest\\out.txt");
    QCOMPARE(m_prefix->readHostFile(m_prefix->driveC() + "/dest/Out.txt"), QByteArray("fresh"));
    host::copyFile("a:\\tool.sh", "c:\\dest\\tool.sh");
    QVERIFY(QFileInfo(m_prefix->driveC() + "/dest/tool.sh").isExecutable());
    QCOMPARE(entriesOf(m_prefix->driveC() + "/dest"), (QStringList{"Out.txt", "tool.sh"}));
}

void TestFileSystem::copyRefusesTheSameFile() {
    m_prefix->writeHostFile("data/vortle/drive_a/File.txt", "precious");
    QFile::link("File.txt", a("alias.txt")); // an absolute link would lead off the medium
    QCOMPARE(errorOf([] { host::copyFile("a:\\File.txt", "a:\\FILE.TXT"); }), 75);
    QCOMPARE(errorOf([] { host::copyFile("a:\\File.txt", "a:\\alias.txt"); }), 75);
    QCOMPARE(m_prefix->readHostFile(a("File.txt")), QByteArray("precious"));
}

void TestFileSystem::copyFailuresLeaveNoTrace() {
    m_prefix->writeHostFile("data/vortle/drive_a/src.txt", "x");
    QCOMPARE(errorOf([] { host::copyFile("a:\\missing.txt", "a:\\dst.txt"); }), 53);
    QCOMPARE(errorOf([] { host::copyFile("a:\\src.txt", "a:\\nofolder\\dst.txt"); }), 76);
    QCOMPARE(errorOf([] { host::copyFile("a:\\src.txt", "c:\\windows"); }), 75);
    QCOMPARE(entriesOf(m_prefix->driveA()), QStringList{"src.txt"});
}

void TestFileSystem::copyOnAFullMediumLeavesTheOldDestination() {
    TmpfsMount small(m_prefix->root() + "/small", false, 64);
    if (!small.isMounted())
        QSKIP("cannot mount a size-limited medium here");
    m_prefix->pointDrive('a', small.path());
    m_prefix->writeHostFile("small/dst.bin", "old");
    m_prefix->writeHostFile("big.bin", QByteArray(200 * 1024, 'b'));
    const QString big = host::toDosPath(m_prefix->root() + "/big.bin");
    QCOMPARE(errorOf([&] { host::copyFile(big, "a:\\dst.bin"); }), 61);
    QCOMPARE(m_prefix->readHostFile(small.path() + "/dst.bin"), QByteArray("old"));
    QCOMPARE(entriesOf(small.path()), QStringList{"dst.bin"});
}

void TestFileSystem::namesWindowsCannotHold_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error"); // of a copy and a new folder of that name on a:
    for (const char* device : {"CON", "NUL.TXT", "aux", "com1.log", "Lpt9", "new\\con\\x"})
        QTest::newRow(device) << device << 52;
    for (const char* trailing : {"name.", "blank ", "mixed. . "})
        QTest::newRow(trailing) << trailing << 52;
    for (const char* fine : {"console.txt", "COM10", "com0", ".profile", "a.b.c"})
        QTest::newRow(fine) << fine << 0;
}

void TestFileSystem::namesWindowsCannotHold() {
    QFETCH(QString, name);
    QFETCH(int, error);
    m_prefix->writeHostFile("data/vortle/drive_c/src.txt", "x");
    QVERIFY(QDir().mkpath(a("sub")));
    QCOMPARE(errorOf([&] { host::copyFile("c:\\src.txt", "a:\\" + name); }), error);
    QCOMPARE(errorOf([&] { host::makeDirectory("a:\\sub\\" + name); }), error);
    if (error == 0)
        return;
    QCOMPARE(entriesOf(m_prefix->driveA()), QStringList{"sub"});
    QCOMPARE(entriesOf(a("sub")), QStringList());
    // Drive C: is the user's own, and one that is on the medium already stays readable.
    QCOMPARE(errorOf([&] { host::copyFile("c:\\src.txt", "c:\\" + name.section('\\', -1)); }), 0);
    m_prefix->writeHostFile("data/vortle/drive_a/" + name.section('\\', -1), "theirs");
    QCOMPARE(errorOf([&] { host::copyFile("a:\\" + name.section('\\', -1), "c:\\theirs"); }), 0);
}

void TestFileSystem::makeDirectoryErrors() {
    host::makeDirectory("a:\\New");
    QVERIFY(QFileInfo(a("New")).isDir());
    QCOMPARE(errorOf([] { host::makeDirectory("a:\\NEW"); }), 75);
    QCOMPARE(errorOf([] { host::makeDirectory("a:\\x\\y"); }), 76);
    QCOMPARE(errorOf([] { host::makeDirectory("a:\\"); }), 75);
}

void TestFileSystem::writeProtectedMediumStillReads() {
    TmpfsMount disk(m_prefix->root() + "/disk", false);
    if (!disk.isMounted())
        QSKIP("cannot mount a write-protected medium here");
    m_prefix->writeHostFile("disk/VRTLSettings.sys", QByteArray("\x08\x00\x04\x00Name", 8));
    QVERIFY(disk.makeReadOnly());
    m_prefix->pointDrive('a', disk.path());

    auto file = host::RandomAccessFile::open("a:\\VRTLSettings.sys");
    QCOMPARE(file.readAt(4, 4), QByteArray("Name"));
    QCOMPARE(errorOf([&] { file.writeAt(0, "x"); }), 70);
    file.close();
    QCOMPARE(errorOf([] { host::RandomAccessFile::open("a:\\new.sys"); }), 70);
    QCOMPARE(errorOf([] { host::makeDirectory("a:\\dir"); }), 70);
    QCOMPARE(errorOf([] { host::deleteFiles("a:\\*.*"); }), 70);
    QCOMPARE(errorOf([] { host::setAttributes("a:\\VRTLSettings.sys", 3); }), 70);
}

void TestFileSystem::writeFileReplacingKeepsTheOldFileOnFailure() {
    TmpfsMount small(m_prefix->root() + "/small", false, 64);
    if (!small.isMounted())
        QSKIP("cannot mount a size-limited medium here");
    m_prefix->pointDrive('a', small.path());
    host::writeFileReplacing("a:\\VRTLNotes.sys", "first");
    QCOMPARE(
        errorOf([] { host::writeFileReplacing("a:\\vrtlnotes.sys", QByteArray(200 * 1024, 'n')); }),
        61);
    QCOMPARE(m_prefix->readHostFile(small.path() + "/VRTLNotes.sys"), QByteArray("first"));
    QCOMPARE(entriesOf(small.path()), QStringList{"VRTLNotes.sys"});
}

// A whole-file save on a medium that fails at one of its steps: a failure before the rename
// keeps the old file and leaves no temporary; one after it is still a failure; a write that
// takes less than asked goes on with the rest.
void TestFileSystem::saveFailsAtEachStep_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("shortBy");
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("its flush fails") << "fdatasync" << 0 << 71 << QByteArray("old");
    QTest::newRow("its folder's flush fails") << "fsync" << 0 << 71 << QByteArray("new note");
    QTest::newRow("a short write") << "write" << 3 << 0 << QByteArray("new note");
}

void TestFileSystem::saveFailsAtEachStep() {
    QFETCH(QString, call);
    QFETCH(int, shortBy);
    QFETCH(int, error);
    QFETCH(QByteArray, contents);
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLNotes.sys", "old");
    FaultSeam::failNext(call, EIO, shortBy);
    const auto disarmed = qScopeGuard([] { FaultSeam::disarm(); });
    QCOMPARE(errorOf([] { host::writeFileReplacing("a:\\VRTLNotes.sys", "new note"); }), error);
    QCOMPARE(m_prefix->readHostFile(m_prefix->driveA() + "/VRTLNotes.sys"), contents);
    QCOMPARE(entriesOf(m_prefix->driveA()), QStringList{"VRTLNotes.sys"});
}

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
