// SPDX-License-Identifier: MIT
#include "ErrorOf.h"
#include "PrefixTest.h"

#include "host/core/RuntimeError.h"
#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include "host/core/SystemDirs.h"

#include <QFile>
#include <QTest>

using namespace storage;

class TestRecordFile : public PrefixTest {
    Q_OBJECT
private slots:
    void missingFileReadsEmptyAndIsCreated();
    void recordsAreAtTheirOffsets();
    void gapsReadEmpty();
    void stringLimitIs124Bytes();
    void shortLastRecordIsAccepted();
    void fileNumbers();
    void badRecordNumbers();
    void openFailures_data();
    void openFailures();
    void writeProtectedMediumOpensForReading();
    void systemDirectory();

private:
    QString a(const QString& name) const { return m_prefix->driveA() + QLatin1Char('/') + name; }
};

void TestRecordFile::missingFileReadsEmptyAndIsCreated() {
    withRecordFile("a:\\VRTLSettings.sys", [](int file) {
        for (int record = 1; record <= 4; ++record)
            QVERIFY(GetRecord(file, record).isEmpty());
    });
    QVERIFY(QFile::exists(a("VRTLSettings.sys")));
    QCOMPARE(QFile(a("VRTLSettings.sys")).size(), 0);
}

void TestRecordFile::recordsAreAtTheirOffsets() {
    withRecordFile("a:\\x.sys", [](int file) {
        PutRecord(file, 1, TaggedValue::string(QString()));
        PutRecord(file, 2, TaggedValue::integer(1));
        PutRecord(file, 3, TaggedValue::single(1440.0f));
    });
    const QByteArray bytes = m_prefix->readHostFile(a("x.sys"));
    QCOMPARE(bytes.size(), 256 + 6);
    QCOMPARE(bytes.left(4), QByteArray::fromHex("08000000"));
    QCOMPARE(bytes.mid(128, 4), QByteArray::fromHex("02000100"));
    QCOMPARE(bytes.mid(256), QByteArray::fromHex("04000000b444"));
    withRecordFile("a:\\X.SYS", [](int file) {
        QCOMPARE(GetRecord(file, 1).kind(), TaggedValue::Kind::String);
        QCOMPARE(GetRecord(file, 1).toText(), QString());
        QVERIFY(GetRecord(file, 2).equals(u"1"));
        QCOMPARE(GetRecord(file, 3).toSingle(), 1440.0f);
        // Overwriting with a shorter value leaves the old tail, which readers ignore.
        PutRecord(file, 3, TaggedValue::integer(0));
        QCOMPARE(GetRecord(file, 3).toNumber(), 0.0);
    });
}

void TestRecordFile::gapsReadEmpty() {
    withRecordFile("a:\\gap.sys",
                   [](int file) { PutRecord(file, 3, TaggedValue::string("third")); });
    QCOMPARE(QFile(a("gap.sys")).size(), 256 + 4 + 5);
    withRecordFile("a:\\gap.sys", [](int file) {
        QVERIFY(GetRecord(file, 1).isEmpty());
        QVERIFY(GetRecord(file, 2).isEmpty());
        QCOMPARE(GetRecord(file, 3).toText(), QStringLiteral("third"));
        QVERIFY(GetRecord(file, 4).isEmpty());
        QVERIFY(GetRecord(file, 100000).isEmpty());
    });
}

void TestRecordFile::stringLimitIs124Bytes() {
    const QString fits(124, QLatin1Char('x'));
    withRecordFile("a:\\s.sys", [&](int file) {
        PutRecord(file, 1, TaggedValue::string(fits));
        PutRecord(file, 2, TaggedValue::string("old"));
        QCOMPARE(errorOf([&] { PutRecord(file, 2, TaggedValue::string(QString(125, 'y'))); }), 59);
        // Characters outside ASCII count by their code-page bytes: 124 of them still fit.
        PutRecord(file, 3, TaggedValue::string(QString(124, QChar(0xE4))));
    });
    withRecordFile("a:\\s.sys", [&](int file) {
        QCOMPARE(GetRecord(file, 1).toText(), fits);
        QCOMPARE(GetRecord(file, 2).toText(), QStringLiteral("old"));
        QCOMPARE(GetRecord(file, 3).toText(), QString(124, QChar(0xE4)));
    });
}

void TestRecordFile::shortLastRecordIsAccepted() {
    // Another tool wrote the name without padding, and a second string cut short.
    QByteArray bytes = QByteArray::fromHex("08000400") + "Name";
    bytes.append(QByteArray(128 - bytes.size(), '\0'));
    bytes.append(QByteArray::fromHex("08000600") + "ab");
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLSettings.sys", bytes);
    withRecordFile("a:\\VRTLSettings.sys", [](int file) {
        QCOMPARE(GetRecord(file, 1).toText(), QStringLiteral("Name"));
        // The missing bytes read as zero.
        QCOMPARE(GetRecord(file, 2).toText(), QStringLiteral("ab") + QString(4, QChar(0)));
        QVERIFY(GetRecord(file, 3).isEmpty());
    });
}

void TestRecordFile::fileNumbers() {
    const int first = NextFileNumber();
    QCOMPARE(first, 1);
    OpenRecordFile("a:\\one.sys", first);
    const int second = NextFileNumber();
    QCOMPARE(second, 2);
    OpenRecordFile("a:\\two.sys", second);
    QCOMPARE(errorOf([&] { OpenRecordFile("a:\\three.sys", second); }), 55);
    CloseRecordFile(first);
    QCOMPARE(NextFileNumber(), 1);
    { RecordFileGuard guard(second); }
    QCOMPARE(errorOf([&] { GetRecord(second, 1); }), 52);
}

void TestRecordFile::badRecordNumbers() {
    withRecordFile("a:\\r.sys", [](int file) {
        QCOMPARE(errorOf([&] { GetRecord(file, 0); }), 63);
        QCOMPARE(errorOf([&] { PutRecord(file, -1, TaggedValue::integer(1)); }), 63);
    });
}

void TestRecordFile::openFailures_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("error");
    QTest::newRow("no drive") << "q:\\x.sys" << 68;
    QTest::newRow("missing folder") << "a:\\nofolder\\x.sys" << 76;
    QTest::newRow("a folder") << "c:\\windows" << 75;
}

void TestRecordFile::openFailures() {
    QFETCH(QString, path);
    QFETCH(int, error);
    const int file = NextFileNumber();
    QCOMPARE(errorOf([&] { OpenRecordFile(path, file); }), error);
    QCOMPARE(NextFileNumber(), file); // the number stays free
}

void TestRecordFile::writeProtectedMediumOpensForReading() {
    TmpfsMount disk(m_prefix->root() + "/disk", false);
    if (!disk.isMounted())
        QSKIP("cannot mount a write-protected medium here");
    m_prefix->pointDrive('a', disk.path());
    withRecordFile("a:\\VRTLSettings.sys",
                   [](int file) { PutRecord(file, 1, TaggedValue::string("Backup")); });
    QVERIFY(disk.makeReadOnly());
    withRecordFile("a:\\VRTLSettings.sys", [](int file) {
        QCOMPARE(GetRecord(file, 1).toText(), QStringLiteral("Backup"));
        QCOMPARE(errorOf([&] { PutRecord(file, 1, TaggedValue::string("x")); }), 70);
    });
    const int file = NextFileNumber();
    QCOMPARE(errorOf([&] { OpenRecordFile("a:\\VRTLNotThere.sys", file); }), 70);
}

void TestRecordFile::systemDirectory() {
    char small[4] = {'x', 'x', 'x', 'x'};
    QCOMPARE(host::GetSystemDirectoryA(small, sizeof small), 18u); // needs 17 characters and a NUL
    QCOMPARE(small[0], 'x');
    char buffer[255];
    QCOMPARE(host::GetSystemDirectoryA(buffer, sizeof buffer), 17u);
    QCOMPARE(QByteArray(buffer), QByteArray("C:\\WINDOWS\\SYSTEM"));
    QCOMPARE(host::GetWindowsDirectoryA(buffer, sizeof buffer), 10u);
    QCOMPARE(host::SystemDirectory(), QStringLiteral("c:\\windows\\system\\"));
    QCOMPARE(ProgramSettingsPath(), QStringLiteral("c:\\windows\\system\\VRTLSettings.dll"));
    withRecordFile(ProgramSettingsPath(), [](int) {});
    QVERIFY(QFile::exists(m_prefix->driveC() + "/windows/system/VRTLSettings.dll"));
}

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
