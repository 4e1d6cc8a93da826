// SPDX-License-Identifier: MIT
// The archive and clean-up commands, with real programs standing in for WinZip and the file
// manager.
#include "PrefixTest.h"
#include "RecordFixture.h"
#include "Recorder.h"

#include "host/core/DosPath.h"
#include "host/core/FileSystem.h"
#include "host/core/Prefix.h"
#include "host/core/SystemDirs.h"
#include "module1/ArchiveCommands.h"
#include "module1/CleanUpCommands.h"
#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

#include <fcntl.h>
#include <unistd.h>

using namespace vortle;

class TestCommands : public PrefixTest {
    Q_OBJECT
private slots:
    void archiveCommandLines_data();
    void archiveCommandLines();
    void noWinZipPathDoesNothing();
    void archiveWithoutDiskette();
    void deleteArchive();
    void clearDustBinAndRecentDocs();
    void recentDocsIgnoresTheReportedWindowsDirectory();
    void upperCaseDriveCIsUsedAsItIs();
    void openInExplorer();
    void openInExplorerWithoutDiskette();
    void archiveAdapterStartsTheDesktopsManager_data();
    void archiveAdapterStartsTheDesktopsManager();
    void driveCLinksTheDesktopsFolders();
    void cleanUpReachesTheDesktopsTrashAndRecentList();

private:
    QString recorder(const QString& relativePath) {
        const QString path = m_prefix->writeHostFile(relativePath, "");
        return writeRecorder(path);
    }
    QStringList recorded(const QString& program) { return recordedArguments(program); }
    void setWinZip(const QString& path) {
        writeProgramSettings(
            {{storage::ProgramSettingsRecord::WinZipPath, storage::TaggedValue::string(path)}});
    }
};

void TestCommands::archiveCommandLines_data() {
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QStringList>("tail");
    QTest::newRow("add files") << true << QStringList{"-a"};
    QTest::newRow("open") << false << QStringList{};
}

void TestCommands::archiveCommandLines() {
    QFETCH(bool, adding);
    QFETCH(QStringList, tail);
    // A path with blanks, stored unquoted, as the preferences window stores it.
    const QString winZip = recorder("data/vortle/drive_c/Program Files/WinZip/winzip32");
    setWinZip("c:\\Program Files\\WinZip\\winzip32");
    adding ? ArchiveCommands::addFiles() : ArchiveCommands::open();
    QTRY_COMPARE(recorded(winZip), QStringList{m_prefix->driveA() + "/VRTLAutoArchive.zip"} + tail);
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestCommands::noWinZipPathDoesNothing() {
    ArchiveCommands::addFiles();
    ArchiveCommands::open();
    QVERIFY(m_boxes->boxes.isEmpty());
    // The settings file was created empty by the reading.
    QCOMPARE(QFile(m_prefix->driveC() + "/windows/system/VRTLSettings.dll").size(), 0);
    setWinZip("c:\\no\\such\\winzip.exe");
    ArchiveCommands::open();
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestCommands::archiveWithoutDiskette() {
    const QString winZip = recorder("data/vortle/drive_c/winzip");
    setWinZip("c:\\winzip");
    m_prefix->pointDrive('a', m_prefix->root() + "/no-disk");
    ArchiveCommands::addFiles();
    QCOMPARE(m_boxes->prompts(),
             (QStringList{"Keine Diskette in Laufwerk A:", "No disk inserted."}));
    QCOMPARE(m_boxes->boxes[1].style, 16);
    m_boxes->boxes.clear();
    ArchiveCommands::open();
    QCOMPARE(m_boxes->prompts(),
             (QStringList{"Keine Diskette in Laufwerk A:", "No disk inserted."}));
    m_boxes->boxes.clear();
    ArchiveCommands::deleteArchive();
    QCOMPARE(m_boxes->prompts(), QStringList{"Keine Diskette in Laufwerk A:"});
    QTest::qWait(200);
    QVERIFY(!QFile::exists(winZip + ".args"));
}

void TestCommands::deleteArchive() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLAutoArchive.ZIP", "PK");
    m_prefix->writeHostFile("data/vortle/drive_a/other.zip", "PK");
    ArchiveCommands::deleteArchive();
    QCOMPARE(QDir(m_prefix->driveA()).entryList(QDir::Files), QStringList{"other.zip"});
    ArchiveCommands::deleteArchive(); // nothing left to delete: no message
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestCommands::clearDustBinAndRecentDocs() {
    for (const char* name : {"DC1.TXT", "old.doc", "noext"})
        m_prefix->writeHostFile(QStringLiteral("data/vortle/drive_c/recycled/") + name, "x");
    QDir().mkpath(m_prefix->driveC() + "/recycled/folder");
    m_prefix->writeHostFile("data/vortle/drive_c/recycled/folder/inside.txt", "x");
    m_prefix->writeHostFile("data/vortle/drive_c/windows/recent/letter.lnk", "x");
    m_prefix->writeHostFile("data/vortle/drive_a/recycled/keep.txt", "x"); // only drive C: counts
    CleanUpCommands::clearDustBin();
    QCOMPARE(
        QDir(m_prefix->driveC() + "/recycled").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList{"folder"});
    QVERIFY(QFile::exists(m_prefix->driveC() + "/recycled/folder/inside.txt"));
    QVERIFY(QFile::exists(m_prefix->driveA() + "/recycled/keep.txt"));
    // A name that is not valid UTF-8 goes like any other.
    const QByteArray odd = QFile::encodeName(m_prefix->driveC()) + "/windows/recent/bad\xff.lnk";
    ::close(::open(odd.constData(), O_WRONLY | O_CREAT, 0644));
    CleanUpCommands::clearRecentDocs();
    QVERIFY(QDir(m_prefix->driveC() + "/windows/recent").isEmpty());
    // Nothing left, or no folder at all: still no message.
    CleanUpCommands::clearDustBin();
    QDir(m_prefix->driveC() + "/windows/recent").removeRecursively();
    CleanUpCommands::clearRecentDocs();
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestCommands::recentDocsIgnoresTheReportedWindowsDirectory() {
    QCOMPARE(host::WindowsDirectory(), QStringLiteral("c:\\windows\\"));
    QCOMPARE(CleanUpCommands::kRecentPattern, QStringLiteral("c:\\windows\\recent\\*.*"));
    QCOMPARE(CleanUpCommands::kRecyclePattern, QStringLiteral("c:\\recycled\\*.*"));
}

void TestCommands::upperCaseDriveCIsUsedAsItIs() {
    // A drive C: as another machine left it, upper case throughout.
    const QString copied = m_prefix->root() + "/copied";
    for (const char* folder : {"WINDOWS/SYSTEM", "WINDOWS/RECENT", "RECYCLED"})
        QDir().mkpath(copied + "/" + folder);
    m_prefix->writeHostFile("copied/RECYCLED/DC1.TXT", "x");
    m_prefix->writeHostFile("copied/WINDOWS/RECENT/LETTER.LNK", "x");
    m_prefix->pointDrive('c', copied);
    host::ensurePrefix();
    QCOMPARE(QDir(copied).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"RECYCLED", "WINDOWS"}));
    QVERIFY(QFile::exists(copied + "/WINDOWS/explorer"));
    setWinZip("c:\\zip");
    QVERIFY(QFile::exists(copied + "/WINDOWS/SYSTEM/VRTLSettings.dll"));
    CleanUpCommands::clearDustBin();
    CleanUpCommands::clearRecentDocs();
    QVERIFY(QDir(copied + "/RECYCLED").isEmpty());
    QVERIFY(QDir(copied + "/WINDOWS/RECENT").isEmpty());
}

void TestCommands::openInExplorer() {
    // The launcher that the prefix set-up wrote, replaced by one that records its argument.
    QFile::remove(m_prefix->driveC() + "/windows/explorer");
    const QString explorer = recorder("data/vortle/drive_c/windows/explorer");
    CleanUpCommands::openInExplorer();
    QTRY_COMPARE(recorded(explorer),
                 QStringList{QFileInfo(m_prefix->driveA()).canonicalFilePath()});
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestCommands::openInExplorerWithoutDiskette() {
    m_prefix->removeDrive('a');
    CleanUpCommands::openInExplorer();
    QCOMPARE(m_boxes->prompts(), (QStringList{"Laufwerk nicht vorhanden.", "No disk inserted."}));
}

void TestCommands::archiveAdapterStartsTheDesktopsManager_data() {
    QTest::addColumn<QString>("manager"); // the only one installed
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("handed");
    QTest::addColumn<QString>("link"); // what a link in the archive's place names
    QTest::newRow("file-roller, add") << "file-roller" << true << "--add-to=%1|--default-dir=%2"
                                      << "";
    QTest::newRow("file-roller, open") << "file-roller" << false << "%1"
                                       << "";
    QTest::newRow("ark, add to a new archive") << "ark" << true << "%1"
                                               << "";
    // xarchiver adds to an archive that holds files, and can neither add to nor open an empty one.
    QTest::newRow("xarchiver, add to an archive with files") << "xarchiver" << true << "--add|%1"
                                                             << "";
    QTest::newRow("xarchiver, open while empty") << "xarchiver" << false << ""
                                                 << "";
    QTest::newRow("a dangling link: add") << "ark" << true << ""
                                          << "home/autostart/stick.desktop";
    QTest::newRow("a link to the user's file: open") << "ark" << false << ""
                                                     << "home/thesis.odt";
}

void TestCommands::archiveAdapterStartsTheDesktopsManager() {
    QFETCH(QString, manager);
    QFETCH(bool, adding);
    QFETCH(QString, handed);
    QFETCH(QString, link);
    const QString stub = recorder("bin/" + manager);
    const QString archive = m_prefix->driveA() + "/VRTLAutoArchive.zip";
    if (manager == "xarchiver") { // its help as the real one gives it, and an archive with a file
        m_prefix->writeHostFile("bin/xarchiver",
                                m_prefix->readHostFile(stub).replace(
                                    "#!/bin/sh\n",
                                    "#!/bin/sh\n[ \"$1\" = --help ] && echo '  -a, --add  Add to "
                                    "archive by asking which files and quit' && exit 0\n"));
        if (adding)
            m_prefix->writeHostFile("data/vortle/drive_a/VRTLAutoArchive.zip", QByteArray(64, 'z'));
    }
    const QString thesis = m_prefix->writeHostFile("home/thesis.odt", "thesis");
    QVERIFY(link.isEmpty() || QFile::link(m_prefix->root() + "/" + link, archive));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_prefix->root()) + "/bin:" + path);
    setWinZip(host::toDosPath(VORTLE_ARCHIVE_ADAPTER));
    adding ? ArchiveCommands::addFiles() : ArchiveCommands::open();
    qputenv("PATH", path);
    if (handed.isEmpty()) { // refused, and nothing started
        QCOMPARE(m_boxes->prompts().size(), link.isEmpty() ? 0 : 1);
        QVERIFY(!QFile::exists(m_prefix->root() + "/home/autostart/stick.desktop"));
        QCOMPARE(m_prefix->readHostFile(thesis), QByteArray("thesis"));
        QTest::qWait(200);
        QVERIFY(recorded(stub).isEmpty());
        return;
    }
    handed.replace("%1", archive).replace("%2", qEnvironmentVariable("HOME"));
    QTRY_COMPARE(recorded(stub), handed.split('|'));
    QCOMPARE(QFileInfo(archive).size(), manager == "ark"         ? 22
                                        : manager == "xarchiver" ? 64
                                                                 : 0); // an empty zip to add to
}

void TestCommands::driveCLinksTheDesktopsFolders() {
    // The desktop's documents folder is "Papers"; its desktop folder is the home folder itself.
    m_prefix->writeHostFile("config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n"
                                                     "XDG_DESKTOP_DIR=\"$HOME/\"\n");
    QDir().mkpath(m_prefix->root() + "/home/Papers");
    host::ensurePrefix();
    QCOMPARE(QFileInfo(m_prefix->driveC() + "/My Documents").symLinkTarget(),
             m_prefix->root() + "/home/Papers");
    QVERIFY(!QFileInfo::exists(m_prefix->driveC() + "/windows/desktop"));
    m_prefix->writeHostFile("data/vortle/drive_a/report.txt", "report");
    host::copyFile("a:\\report.txt", "C:\\MY DOCUMENTS\\report.txt");
    QVERIFY(QFile::exists(m_prefix->root() + "/home/Papers/report.txt"));
}

void TestCommands::cleanUpReachesTheDesktopsTrashAndRecentList() {
    const QString trash = m_prefix->root() + "/data/Trash/";
    for (const char* name : {"files/old.txt", "info/old.txt.trashinfo", "files/album/a.jpg",
                             "info/album.trashinfo", "directorysizes"})
        m_prefix->writeHostFile(QStringLiteral("data/Trash/") + name, "x");
    m_prefix->writeHostFile(
        "data/recently-used.xbel",
        "<?xml version=\"1.0\"?><xbel version=\"1.0\"><bookmark href=\"file:///a\"/>"
        "<bookmark href=\"file:///b\"/></xbel>");
    m_prefix->writeHostFile("data/RecentDocuments/a.desktop", "[Desktop Entry]");
    CleanUpCommands::clearDustBin();
    CleanUpCommands::clearRecentDocs();
    QCOMPARE(QDir(trash + "files").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"album"});
    QCOMPARE(QDir(trash + "info").entryList(QDir::Files), QStringList{"album.trashinfo"});
    QVERIFY(QFile::exists(trash + "directorysizes"));
    QFile list(m_prefix->root() + "/data/recently-used.xbel");
    QVERIFY(list.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&list); // a valid list, and nothing in it
    QVERIFY(xml.readNextStartElement() && xml.name() == QLatin1String("xbel"));
    QVERIFY(!xml.readNextStartElement() && !xml.hasError());
    QVERIFY(!QFile::exists(m_prefix->root() + "/data/RecentDocuments/a.desktop"));
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
