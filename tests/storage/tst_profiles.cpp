// SPDX-License-Identifier: MIT
#include "ErrorOf.h"
#include "PrefixTest.h"
#include "RecordFixture.h"

#include "host/core/FileSystem.h"
#include "storage/Profiles.h"
#include "storage/RecordFile.h"

#include <QFile>
#include <QTest>

using namespace vortle;

using Profiles::Profile;

class TestProfiles : public PrefixTest {
    Q_OBJECT
private slots:
    void missingFileReadsAsNoProfiles();
    void deletedProfileLeavesNoTrace();
    void emptyIconIsAProfileEmptyNameEndsTheList();
    void atMost101AreRead();
    void readingOneProfile();
    void failedWriteKeepsTheOldFile();

private:
    QString file() const { return m_prefix->driveC() + "/windows/system/VRTLProfiles.dll"; }
};

void TestProfiles::missingFileReadsAsNoProfiles() {
    QCOMPARE(Profiles::ProfilesPath(), QStringLiteral("c:\\windows\\system\\VRTLProfiles.dll"));
    QVERIFY(Profiles::readAllProfiles(Profiles::ProfilesPath()).isEmpty());
    QVERIFY(QFile::exists(file()));
    QCOMPARE(QFile(file()).size(), 0);
    QVERIFY(Profiles::readProfileNames(Profiles::kFixedProfilesPath).isEmpty());
    // Unreachable: still no profiles, and no error.
    m_prefix->removeDrive('c');
    QVERIFY(Profiles::readAllProfiles(Profiles::ProfilesPath()).isEmpty());
}

void TestProfiles::deletedProfileLeavesNoTrace() {
    const QString path = Profiles::ProfilesPath();
    Profiles::writeAllProfiles(path, {{"A", "a:\\a.ico"}, {"B", "a:\\b.ico"}, {"C", "a:\\c.ico"}});
    QCOMPARE(QFile(file()).size(), 5 * 128 + 4 + 8);
    Profiles::writeAllProfiles(path, {{"A", "a:\\a.ico"}, {"C", "a:\\c.ico"}});
    const QByteArray bytes = m_prefix->readHostFile(file());
    QCOMPARE(bytes.size(), 3 * 128 + 4 + 8);
    QCOMPARE(bytes.mid(256, 5), QByteArray("\x08\x00\x01\x00"
                                           "C",
                                           5));
    QCOMPARE(Profiles::readAllProfiles(path),
             (QList<Profile>{{"A", "a:\\a.ico"}, {"C", "a:\\c.ico"}}));
    QCOMPARE(Profiles::readProfileNames(path), (QStringList{"A", "C"}));
}

void TestProfiles::emptyIconIsAProfileEmptyNameEndsTheList() {
    const QString path = Profiles::ProfilesPath();
    // An empty name would end the list for every reader: the writer leaves it out.
    Profiles::writeAllProfiles(path, {{"No icon", ""}, {"", "a:\\lost.ico"}, {"Last", "x"}});
    QCOMPARE(Profiles::readAllProfiles(path), (QList<Profile>{{"No icon", ""}, {"Last", "x"}}));
    // A file written elsewhere with an empty name in the middle stops there.
    writeRecords(
        path, {{3, storage::TaggedValue::string("")}, {5, storage::TaggedValue::string("Behind")}});
    QCOMPARE(Profiles::readAllProfiles(path), (QList<Profile>{{"No icon", ""}}));
}

void TestProfiles::atMost101AreRead() {
    QList<Profile> many;
    for (int i = 0; i < 103; ++i)
        many.append({QStringLiteral("P%1").arg(i), QString()});
    Profiles::writeAllProfiles(Profiles::ProfilesPath(), many);
    const QList<Profile> read = Profiles::readAllProfiles(Profiles::ProfilesPath());
    QCOMPARE(read.size(), 101);
    QCOMPARE(read.last().name, QStringLiteral("P100"));
}

void TestProfiles::readingOneProfile() {
    Profiles::writeAllProfiles(Profiles::ProfilesPath(),
                               {{"Work", "a:\\w.ico"}, {"Home", "a:\\h.ico"}});
    QCOMPARE(Profiles::readProfile(Profiles::kFixedProfilesPath, 1),
             (Profile{"Home", "a:\\h.ico"}));
    QCOMPARE(Profiles::readProfile(Profiles::kFixedProfilesPath, 5), (Profile{"", ""}));
    m_prefix->removeDrive('c');
    QCOMPARE(errorOf([] { Profiles::readProfile(Profiles::kFixedProfilesPath, 0); }), 68);
}

void TestProfiles::failedWriteKeepsTheOldFile() {
    const QString path = Profiles::ProfilesPath();
    Profiles::writeAllProfiles(path, {{"Kept", ""}});
    const QByteArray before = m_prefix->readHostFile(file());
    QCOMPARE(errorOf([&] { Profiles::writeAllProfiles(path, {{QString(125, 'n'), ""}}); }), 59);
    host::setAttributes(path, host::AttrReadOnly);
    QCOMPARE(errorOf([&] { Profiles::writeAllProfiles(path, {{"New", ""}}); }), 75);
    QCOMPARE(m_prefix->readHostFile(file()), before);
}

QTEST_GUILESS_MAIN(TestProfiles)
#include "tst_profiles.moc"
