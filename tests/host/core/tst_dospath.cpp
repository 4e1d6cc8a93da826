// SPDX-License-Identifier: MIT
#include "ErrorOf.h"
#include "PrefixTest.h"

#include "host/core/DosPath.h"
#include "host/core/Prefix.h"
#include "host/core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestDosPath : public PrefixTest {
    Q_OBJECT
private slots:
    void firstStartCreatesThePrefix();
    void existingEntriesAreNotReplaced();
    void parse_data();
    void parse();
    void relativePathsUseTheCurrentDirectory();
    void componentsMatchIgnoringCase();
    void exactMatchWinsOverCaseInsensitive();
    void aLinkToANeighbourLeavesTheMedium();
    void driveStates_data();
    void driveStates();
    void hostPathsTurnBackIntoDosPaths();
};

void TestDosPath::firstStartCreatesThePrefix() {
    const QString prefix = m_prefix->prefix();
    for (const char* folder :
         {"drive_a", "drive_c/windows/system", "drive_c/windows/recent", "drive_c/recycled"})
        QVERIFY2(QFileInfo(prefix + QLatin1Char('/') + QLatin1String(folder)).isDir(), folder);
    QCOMPARE(QFile::symLinkTarget(prefix + "/dosdevices/a:"),
             QFileInfo(prefix + "/drive_a").absoluteFilePath());
    QCOMPARE(QFileInfo(prefix + "/dosdevices/c:").symLinkTarget(),
             QFileInfo(prefix + "/drive_c").absoluteFilePath());
    QCOMPARE(QFileInfo(prefix + "/dosdevices/z:").symLinkTarget(), QStringLiteral("/"));
    const QFileInfo explorer(prefix + "/drive_c/windows/explorer");
    QVERIFY(explorer.isExecutable());
}

void TestDosPath::existingEntriesAreNotReplaced() {
    const QString stick = m_prefix->root() + "/stick";
    QDir().mkpath(stick);
    m_prefix->pointDrive('a', stick);
    host::ensurePrefix();
    QCOMPARE(host::driveRoot('a'), QFileInfo(stick).canonicalFilePath());
    QCOMPARE(host::driveRoot('A'), QFileInfo(stick).canonicalFilePath());
}

void TestDosPath::parse_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("normalised");
    QTest::newRow("root") << "a:\\"
                          << "a:\\";
    QTest::newRow("upper-case drive") << "A:\\VRTLSettings.sys"
                                      << "a:\\VRTLSettings.sys";
    QTest::newRow("forward slashes") << "c:/windows/system/"
                                     << "c:\\windows\\system";
    QTest::newRow("doubled separators") << "a:\\\\data\\\\x"
                                        << "a:\\data\\x";
    QTest::newRow("dot") << "a:\\.\\data\\.\\x"
                         << "a:\\data\\x";
    QTest::newRow("dot-dot") << "a:\\data\\..\\x"
                             << "a:\\x";
    QTest::newRow("dot-dot never climbs above the root") << "a:\\..\\..\\x"
                                                         << "a:\\x";
}

void TestDosPath::parse() {
    QFETCH(QString, path);
    QFETCH(QString, normalised);
    QCOMPARE(host::parseDosPath(path).toString(), normalised);
}

void TestDosPath::relativePathsUseTheCurrentDirectory() {
    QDir().mkpath(m_prefix->driveC() + "/work");
    QDir::setCurrent(m_prefix->driveC() + "/work");
    QCOMPARE(host::currentDirectory(), QStringLiteral("c:\\work"));
    QCOMPARE(host::parseDosPath("x.txt").toString(), QStringLiteral("c:\\work\\x.txt"));
    QCOMPARE(host::parseDosPath("c:x.txt").toString(), QStringLiteral("c:\\work\\x.txt"));
    QCOMPARE(host::parseDosPath("\\x.txt").toString(), QStringLiteral("c:\\x.txt"));
    // Another drive's relative path starts at that drive's root.
    QCOMPARE(host::parseDosPath("a:x.txt").toString(), QStringLiteral("a:\\x.txt"));
    QCOMPARE(host::parseDosPath("..\\..\\y").toString(), QStringLiteral("c:\\y"));
    QCOMPARE(errorOf([] { host::parseDosPath(QString()); }), int(host::ErrBadFileNameOrNumber));
}

void TestDosPath::componentsMatchIgnoringCase() {
    QDir().mkpath(m_prefix->driveA() + "/data");
    QFile(m_prefix->driveA() + "/data/SRC.TXT").open(QIODevice::WriteOnly);
    QCOMPARE(host::toHostPath("a:\\DATA\\src.txt"), m_prefix->driveA() + "/data/SRC.TXT");
    // A missing component keeps its spelling, and so does everything below it.
    QCOMPARE(host::toHostPath("a:\\Data\\New\\File.Txt"),
             m_prefix->driveA() + "/data/New/File.Txt");
}

void TestDosPath::aLinkToANeighbourLeavesTheMedium() {
    // "stick2" begins as "stick" does, yet is another medium.
    m_prefix->writeHostFile("stick2/x", "theirs");
    QDir().mkpath(m_prefix->root() + "/stick");
    QVERIFY(QFile::link("../stick2", m_prefix->root() + "/stick/up"));
    m_prefix->pointDrive('a', m_prefix->root() + "/stick");
    QCOMPARE(errorOf([] { host::toHostPath("a:\\up\\x"); }), int(host::ErrPathFileAccess));
    QCOMPARE(errorOf([] { host::toHostPath("a:\\up"); }), int(host::ErrPathFileAccess)); // the last
}

void TestDosPath::exactMatchWinsOverCaseInsensitive() {
    QFile(m_prefix->driveA() + "/Notes.txt").open(QIODevice::WriteOnly);
    QFile(m_prefix->driveA() + "/NOTES.TXT").open(QIODevice::WriteOnly);
    QCOMPARE(host::toHostPath("a:\\NOTES.TXT"), m_prefix->driveA() + "/NOTES.TXT");
    QCOMPARE(host::toHostPath("a:\\Notes.txt"), m_prefix->driveA() + "/Notes.txt");
}

void TestDosPath::driveStates_data() {
    QTest::addColumn<QString>("target"); // "" removes the entry
    QTest::addColumn<int>("error");
    QTest::newRow("no entry") << QString() << int(host::ErrDeviceUnavailable);
    QTest::newRow("target missing") << "missing" << int(host::ErrDiskNotReady);
    QTest::newRow("target is a file") << "file" << int(host::ErrDiskNotReady);
    QTest::newRow("empty folder is ready") << "empty" << 0;
}

void TestDosPath::driveStates() {
    QFETCH(QString, target);
    QFETCH(int, error);
    m_prefix->writeHostFile("file", "x");
    QDir().mkpath(m_prefix->root() + "/empty");
    if (target.isEmpty())
        m_prefix->removeDrive('a');
    else
        m_prefix->pointDrive('a', m_prefix->root() + QLatin1Char('/') + target);
    QCOMPARE(errorOf([] { host::toHostPath("a:\\VRTLSettings.sys"); }), error);
    QCOMPARE(errorOf([] { host::driveRoot('a'); }), error);
}

void TestDosPath::hostPathsTurnBackIntoDosPaths() {
    QDir().mkpath(m_prefix->driveC() + "/windows/system");
    QCOMPARE(host::toDosPath(m_prefix->driveC() + "/windows/system"),
             QStringLiteral("c:\\windows\\system"));
    QCOMPARE(host::toDosPath(m_prefix->driveA()), QStringLiteral("a:\\"));
    QCOMPARE(host::toDosPath(m_prefix->driveA() + "/new.ico"), QStringLiteral("a:\\new.ico"));
    // Through the drive's link, too.
    QCOMPARE(host::toDosPath(m_prefix->prefix() + "/dosdevices/a:/x"), QStringLiteral("a:\\x"));
    // A folder under no other drive is under z:.
    QCOMPARE(host::toDosPath(QStringLiteral("/usr/bin")), QStringLiteral("z:\\usr\\bin"));
    m_prefix->removeDrive('z');
    QCOMPARE(host::toDosPath(QStringLiteral("/usr/bin")), QStringLiteral("/usr/bin"));
}

QTEST_GUILESS_MAIN(TestDosPath)
#include "tst_dospath.moc"
