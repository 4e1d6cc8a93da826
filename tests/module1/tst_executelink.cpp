// SPDX-License-Identifier: MIT
#include "DiskFixture.h"
#include "PrefixTest.h"
#include "RecordFixture.h"

#include "engine/DiskDisplay.h"
#include "host/core/FileSystem.h"
#include "module1/Module1.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using namespace vortle;

using DiskSettings::Action;

namespace {

const QString kFailed = QStringLiteral("Couldn't execute action.");

} // namespace

// The desktop's notification service, recording what it is asked to show.
class RecordingNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown; // "summary|body"
public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        shown << summary + "|" + body;
        return 1;
    }
};

class TestExecuteLink : public PrefixTest {
    Q_OBJECT
private slots:
    void noDisketteShowsBothMessages();
    void emptyListDoesNothing();
    void eachKindDoesItsWork();
    void copyOverwritesAndResolvesAnyCase();
    void copyOrMoveOntoItselfFailsAndKeepsTheFile();
    void deleteWithoutMatchStopsTheRun();
    void failingThirdOfFiveKeepsTheFirstTwo();
    void kindCodesByTheirStringForm();
    void emptyKindEndsTheList();
    void atMost101ActionsRun();
    void executeStartsTheProgramWithoutWaiting();
    void executeOfADocumentFails();
    void badSettingsFiles_data();
    void badSettingsFiles();
    void writeProtectedDisketteStillRunsItsList();
    void fullDestinationLeavesNoTruncatedCopy();
    void longRunShowsProgressAndCancelLosesNothing();
    void longRunEndingUnwatchedTellsTheDesktop();

private:
    QString a(const QString& name) const { return m_prefix->driveA() + "/" + name; }
    QString c(const QString& name) const { return m_prefix->driveC() + "/" + name; }
};

void TestExecuteLink::noDisketteShowsBothMessages() {
    m_prefix->pointDrive('a', m_prefix->root() + "/pulled");
    Module1::ExecuteLink();
    QCOMPARE(m_boxes->prompts(),
             (QStringList{"Keine Diskette in Laufwerk A:", "There's no disk in the drive."}));
    QCOMPARE(m_boxes->boxes[1].style, 16);
    QCOMPARE(m_boxes->boxes[1].title, QStringLiteral("Vortle"));
    QVERIFY(!QFileInfo::exists(m_prefix->root() + "/pulled"));
    m_boxes->boxes.clear();
    m_prefix->removeDrive('a');
    Module1::ExecuteLink();
    QCOMPARE(m_boxes->prompts(),
             (QStringList{"Laufwerk nicht vorhanden.", "There's no disk in the drive."}));
}

void TestExecuteLink::emptyListDoesNothing() {
    Module1::ExecuteLink();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(QFile(a("VRTLSettings.sys")).size(), 0); // left behind by the reader
}

void TestExecuteLink::eachKindDoesItsWork() {
    m_prefix->writeHostFile("data/vortle/drive_a/src.txt", "source");
    m_prefix->writeHostFile("data/vortle/drive_a/move.txt", "moving");
    for (const char* name : {"old1.tmp", "old2.TMP", "keep.txt"})
        m_prefix->writeHostFile(QStringLiteral("data/vortle/drive_c/junk/") + name, "x");
    QDir().mkpath(c("junk/sub.tmp"));
    writeDiskSettings("Work", {{"0", "c:\\Backup\\Daily", ""},
                               {"1", "a:\\src.txt", "c:\\Backup\\Daily\\copy.txt"},
                               {"2", "a:\\move.txt", "c:\\Backup\\moved.txt"},
                               {"3", "c:\\junk\\*.tmp", "ignored"},
                               {"0", "c:\\Backup\\Daily", ""}}); // exists: goes on silently
    Module1::ExecuteLink();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_prefix->readHostFile(c("Backup/Daily/copy.txt")), QByteArray("source"));
    QCOMPARE(m_prefix->readHostFile(c("Backup/moved.txt")), QByteArray("moving"));
    QVERIFY(!QFile::exists(a("move.txt")));
    QVERIFY(QFile::exists(a("src.txt")));
    QCOMPARE(QDir(c("junk")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"keep.txt", "sub.tmp"}));
}

void TestExecuteLink::copyOverwritesAndResolvesAnyCase() {
    m_prefix->writeHostFile("data/vortle/drive_a/data/SRC.TXT", "new");
    m_prefix->writeHostFile("data/vortle/drive_c/Target/Dest.txt", "old and longer");
    writeDiskSettings("Case", {{"1", "a:\\DATA\\src.txt", "c:\\target\\DEST.TXT"}});
    Module1::ExecuteLink();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_prefix->readHostFile(c("Target/Dest.txt")), QByteArray("new"));
    QCOMPARE(QDir(c("Target")).entryList(QDir::Files | QDir::Hidden), QStringList{"Dest.txt"});
}

void TestExecuteLink::copyOrMoveOntoItselfFailsAndKeepsTheFile() {
    m_prefix->writeHostFile("data/vortle/drive_a/Thesis.doc", "years of work");
    QFile::link(a("Thesis.doc"), c("thesis-link.doc"));
    QCOMPARE(::link(QFile::encodeName(a("Thesis.doc")), QFile::encodeName(c("second-name.doc"))),
             0);
    for (const Action& action : QList<Action>{{"1", "a:\\Thesis.doc", "a:\\THESIS.DOC"},
                                              {"2", "a:\\Thesis.doc", "a:\\thesis.doc"},
                                              {"2", "a:\\Thesis.doc", "c:\\thesis-link.doc"},
                                              {"1", "a:\\Thesis.doc", "c:\\second-name.doc"}}) {
        m_boxes->boxes.clear();
        writeDiskSettings("Self", {action});
        Module1::ExecuteLink();
        QCOMPARE(m_boxes->prompts(), QStringList{kFailed});
        QCOMPARE(m_prefix->readHostFile(a("Thesis.doc")), QByteArray("years of work"));
    }
}

void TestExecuteLink::deleteWithoutMatchStopsTheRun() {
    writeDiskSettings("Del", {{"3", "c:\\recycled\\*.*", ""}, {"0", "c:\\after", ""}});
    Module1::ExecuteLink();
    QCOMPARE(m_boxes->prompts(), QStringList{kFailed});
    QCOMPARE(m_boxes->boxes[0].style, 16);
    QVERIFY(!QFileInfo::exists(c("after")));
}

void TestExecuteLink::failingThirdOfFiveKeepsTheFirstTwo() {
    writeDiskSettings("Five", {{"0", "c:\\one", ""},
                               {"0", "c:\\two", ""},
                               {"1", "a:\\missing.txt", "c:\\three.txt"},
                               {"0", "c:\\four", ""},
                               {"0", "c:\\five", ""}});
    Module1::ExecuteLink();
    QCOMPARE(m_boxes->prompts(), QStringList{kFailed});
    QVERIFY(QFileInfo(c("one")).isDir());
    QVERIFY(QFileInfo(c("two")).isDir());
    QVERIFY(!QFileInfo::exists(c("three.txt")));
    QVERIFY(!QFileInfo::exists(c("four")));
    QVERIFY(!QFileInfo::exists(c("five")));
}

void TestExecuteLink::kindCodesByTheirStringForm() {
    m_prefix->writeHostFile("data/vortle/drive_a/src.txt", "x");
    writeDiskSettings("Kinds", {{"7", "c:\\never", ""}, {"1", "a:\\src.txt", "c:\\copied.txt"}});
    // Some other tool wrote the second kind code as the integer 1.
    writeRecords(DiskSettings::kSettingsPath,
                 {{DiskSettings::kindRecord(1), storage::TaggedValue::integer(1)}});
    Module1::ExecuteLink();
    QVERIFY(m_boxes->boxes.isEmpty());
    QVERIFY(!QFileInfo::exists(c("never")));
    QVERIFY(QFile::exists(c("copied.txt")));
}

void TestExecuteLink::emptyKindEndsTheList() {
    writeDiskSettings("Short", {{"0", "c:\\first", ""}, {"", "", ""}, {"0", "c:\\hidden", ""}});
    Module1::ExecuteLink();
    QVERIFY(QFileInfo(c("first")).isDir());
    QVERIFY(!QFileInfo::exists(c("hidden")));
}

void TestExecuteLink::atMost101ActionsRun() {
    QList<Action> actions;
    for (int i = 0; i < 103; ++i)
        actions.append({"0", QStringLiteral("c:\\n\\%1").arg(i), ""});
    writeDiskSettings("Full", actions);
    Module1::ExecuteLink();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(QDir(c("n")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 101);
    QVERIFY(QFileInfo(c("n/100")).isDir());
    QVERIFY(!QFileInfo::exists(c("n/101")));
}

void TestExecuteLink::executeStartsTheProgramWithoutWaiting() {
    const QString program =
        m_prefix->writeHostFile("data/vortle/drive_c/tools/slow",
                                "#!/bin/sh\nsleep 2\nprintf '%s\\n' \"$@\" > \"$0.args\"\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    m_prefix->writeHostFile("data/vortle/drive_a/doc.txt", "x");
    writeDiskSettings("Run", {{"4", "c:\\tools\\slow a:\\doc.txt", ""}, {"0", "c:\\after", ""}});
    QElapsedTimer clock;
    clock.start();
    Module1::ExecuteLink();
    QVERIFY(clock.elapsed() < 1500);
    QVERIFY(QFileInfo(c("after")).isDir());
    QVERIFY(m_boxes->boxes.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(program + ".args"), 6000);
    QCOMPARE(m_prefix->readHostFile(program + ".args"), (a("doc.txt") + "\n").toUtf8());
}

void TestExecuteLink::executeOfADocumentFails() {
    m_prefix->writeHostFile("data/vortle/drive_a/letter.txt", "Dear ...");
    writeDiskSettings("Doc", {{"4", "a:\\letter.txt", ""}, {"0", "c:\\after", ""}});
    Module1::ExecuteLink();
    QCOMPARE(m_boxes->prompts(), QStringList{kFailed});
    QVERIFY(!QFileInfo::exists(c("after")));
    m_boxes->boxes.clear();
    writeDiskSettings("None", {{"4", "c:\\no\\such\\program.exe", ""}});
    Module1::ExecuteLink();
    QCOMPARE(m_boxes->prompts(), QStringList{kFailed});
}

void TestExecuteLink::badSettingsFiles_data() {
    QTest::addColumn<QByteArray>("settings"); // "folder" makes it a folder
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("a folder") << QByteArray("folder") << QStringList{kFailed};
    QTest::newRow("garbage") << QByteArray(5000, '\xA5') << QStringList{};
    QTest::newRow("truncated kind code")
        << QByteArray(128, '\0') + QByteArray("\x08\x00\x01", 3) << QStringList{};
    QTest::newRow("kind code past its record")
        << QByteArray(128, '\0') + QByteArray("\x08\x00\xff\x00"
                                              "1",
                                              5)
        << QStringList{};
}

void TestExecuteLink::badSettingsFiles() {
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, messages);
    if (settings == "folder")
        QDir().mkpath(a("VRTLSettings.sys"));
    else
        m_prefix->writeHostFile("data/vortle/drive_a/VRTLSettings.sys", settings);
    Module1::ExecuteLink();
    QCOMPARE(m_boxes->prompts(), messages);
}

void TestExecuteLink::writeProtectedDisketteStillRunsItsList() {
    TmpfsMount disk(m_prefix->root() + "/disk", false);
    if (!disk.isMounted())
        QSKIP("cannot mount a write-protected medium here");
    m_prefix->pointDrive('a', disk.path());
    m_prefix->writeHostFile("disk/notes.txt", "from the diskette");
    writeDiskSettings("Protected", {{"1", "a:\\notes.txt", "c:\\notes.txt"}});
    QVERIFY(disk.makeReadOnly());
    Module1::ExecuteLink();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_prefix->readHostFile(c("notes.txt")), QByteArray("from the diskette"));
}

void TestExecuteLink::fullDestinationLeavesNoTruncatedCopy() {
    TmpfsMount small(m_prefix->root() + "/small", false, 64);
    if (!small.isMounted())
        QSKIP("cannot mount a size-limited medium here");
    m_prefix->pointDrive('c', small.path());
    m_prefix->writeHostFile("small/big.bin", "previous");
    m_prefix->writeHostFile("data/vortle/drive_a/big.bin", QByteArray(300 * 1024, 'b'));
    writeDiskSettings("Big", {{"2", "a:\\big.bin", "c:\\big.bin"}});
    Module1::ExecuteLink();
    QCOMPARE(m_boxes->prompts(), QStringList{kFailed});
    QCOMPARE(m_prefix->readHostFile(small.path() + "/big.bin"), QByteArray("previous"));
    QCOMPARE(QDir(small.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.bin"});
    QCOMPARE(QFile(a("big.bin")).size(), 300 * 1024); // a failed move keeps its source
}

void TestExecuteLink::longRunShowsProgressAndCancelLosesNothing() {
    // A copy long enough to want the progress window; the first action stays done.
    m_prefix->writeHostFile("data/vortle/drive_a/big.bin", "");
    QVERIFY(QFile::resize(a("big.bin"), qint64(8) << 30));
    const QString target = "c:\\big" + QString(100, 'x') + ".bin"; // no blank to wrap at
    writeDiskSettings(
        "Long", {{"0", "c:\\before", ""}, {"1", "a:\\big.bin", target}, {"0", "c:\\after", ""}});
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);
    QPointer<QWidget> progress;
    QTimer::singleShot(800, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->windowTitle() == "Execute Link" && window->isVisible())
                progress = window;
        if (!progress)
            return;
        // Each path on a line of its own, elided in the middle; the whole ones in the tip.
        const auto* paths = progress->findChild<QLabel*>("lblPaths");
        for (const QString& line : paths->text().split('\n'))
            QVERIFY(paths->fontMetrics().horizontalAdvance(line) <= paths->width());
        QVERIFY(paths->text().contains(QChar(0x2026)) && paths->toolTip().contains(target));
        progress->findChild<QPushButton*>("cmdCancel")->click();
    });
    QElapsedTimer clock;
    clock.start();
    Module1::ExecuteLink();
    QVERIFY(progress);                 // it appeared, and Cancel ended the run
    QVERIFY(clock.elapsed() < 3000);   // within a piece of the copy
    QVERIFY(ticks >= 10);              // the event loop ran all along
    QVERIFY(m_boxes->boxes.isEmpty()); // a cancelled run is no failure
    QVERIFY(QFileInfo(c("before")).isDir());
    QVERIFY(!QFileInfo::exists(c("after")));
    QCOMPARE(QDir(m_prefix->driveC()).entryList({"*big*", ".vrtl*"}, QDir::Files | QDir::Hidden),
             QStringList());
    QTRY_VERIFY(!progress);
}

void TestExecuteLink::longRunEndingUnwatchedTellsTheDesktop() {
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!bus.waitForStarted() || !bus.waitForReadyRead(5000))
        QSKIP("no dbus-daemon for a private bus");
    const QByteArray address = bus.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    RecordingNotifications service;
    QDBusConnection recorder = QDBusConnection::connectToBus(address, "recorder");
    QVERIFY(recorder.registerService("org.freedesktop.Notifications"));
    recorder.registerObject("/org/freedesktop/Notifications", &service,
                            QDBusConnection::ExportAllSlots);
    DiskDisplay display(QImage(), "Long");
    Module1::setDiskDisplay(&display);
    // A copy that would take long; once its window is up, its source shrinks, so the copy
    // ends and fails on its own while nobody watches.
    m_prefix->writeHostFile("data/vortle/drive_a/big.bin", "");
    QVERIFY(QFile::resize(a("big.bin"), qint64(8) << 30));
    writeDiskSettings("Long", {{"1", "a:\\big.bin", "c:\\big.bin"}});
    QTimer::singleShot(700, [&] {
        QApplication::setActiveWindow(nullptr); // the user went to another program
        QFile::resize(a("big.bin"), 0);
    });
    Module1::ExecuteLink();
    QTRY_COMPARE(service.shown,
                 QStringList{"\u2068Long\u2069|" + kFailed + "\nAction 1: Path/File access error"});
    bus.kill();
    bus.waitForFinished();
}

QTEST_MAIN(TestExecuteLink)
#include "tst_executelink.moc"
