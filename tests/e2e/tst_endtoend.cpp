// SPDX-License-Identifier: MIT
// The real program on a real X server: clicks on the image buttons at their places, keys into
// its windows, and what lands on disk. Runs under the xvfb-run of ./test; xdotool clicks.
#include "DiskFixture.h"
#include "RecordFixture.h"

#include "engine/DiskSettings.h"
#include "host/core/Prefix.h"
#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace vortle;

namespace {

QString xdotool(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// A window of the program, found by its title.
struct Window {
    QString id;
    QRect geometry;
    double twipsPerPixel = 15;

    // Clicks at a point given in twips of the client area. The pointer goes to the screen's
    // corner first: a --sync move to where it already is would wait for ever.
    void click(double x, double y) const {
        xdotool({"mousemove", "--sync", "1023", "767", "mousemove", "--sync", "--window", id,
                 QString::number(int(x / twipsPerPixel)), QString::number(int(y / twipsPerPixel)),
                 "click", "1"});
    }
    // Clicks the middle of a control given by its twips rectangle.
    void clickControl(double left, double top, double width, double height) const {
        click(left + width / 2, top + height / 2);
    }
};

Window findWindow(const QString& title, double twipsPerPixel = 15) {
    Window window;
    window.twipsPerPixel = twipsPerPixel;
    for (int attempt = 0; attempt < 300 && window.id.isEmpty(); ++attempt) {
        window.id = xdotool({"search", "--onlyvisible", "--name",
                             "^" + QRegularExpression::escape(title) + "$"})
                        .section('\n', 0, 0);
        if (window.id.isEmpty())
            QTest::qWait(100);
    }
    const QString shell = xdotool({"getwindowgeometry", "--shell", window.id});
    auto field = [&](const char* name) {
        return QRegularExpression(QStringLiteral("%1=(-?\\d+)").arg(name))
            .match(shell)
            .captured(1)
            .toInt();
    };
    window.geometry = QRect(field("X"), field("Y"), field("WIDTH"), field("HEIGHT"));
    return window;
}

// What a window shows on the screen now, or the part of it at a twips rectangle.
QImage shownImage(const Window& window, const QRectF& twips = {}) {
    const QImage whole =
        QGuiApplication::primaryScreen()->grabWindow(window.id.toULongLong()).toImage();
    if (twips.isNull())
        return whole;
    const double scale = window.twipsPerPixel;
    return whole.copy(QRectF(twips.topLeft() / scale, twips.size() / scale).toRect());
}

// The outer frame of a window: its client area and the extents the window manager drew.
QRect outerFrame(const Window& window) {
    QProcess tool;
    tool.start("sh", {"-c", "xwininfo -id " + window.id + "; xprop -id " + window.id +
                                " _NET_FRAME_EXTENTS"});
    tool.waitForFinished(5000);
    const QString info = QString::fromUtf8(tool.readAllStandardOutput());
    auto field = [&](const QString& name) {
        return QRegularExpression(name + ":\\s+(-?\\d+)").match(info).captured(1).toInt();
    };
    const QStringList extents = // left, right, top, bottom
        QRegularExpression("= (\\d+), (\\d+), (\\d+), (\\d+)").match(info).capturedTexts().mid(1);
    const QRect client(field("Absolute upper-left X"), field("Absolute upper-left Y"),
                       field("Width"), field("Height"));
    if (extents.size() != 4)
        return client;
    return client.adjusted(-extents[0].toInt(), -extents[2].toInt(), extents[1].toInt(),
                           extents[3].toInt());
}

void typeText(const QString& text) {
    xdotool({"type", "--delay", "15", text});
}
void key(const QString& keys) {
    xdotool({"key", keys});
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}
QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStartExecuteLinkSaveNoteAndPreferences();
    void executeLinkWithoutDisketteAnswersItsMessages();
    void longRunPaintsShowsProgressAndCancels();
    void pulledStickStopsTheRunAndLeavesNothing_data();
    void pulledStickStopsTheRunAndLeavesNothing();
    void stalledStickKeepsThePanelAnswering();
    void panelKeepsItsPlaceUnderAWindowManager_data();
    void panelKeepsItsPlaceUnderAWindowManager();
    void waylandKeepsTheSavedPlace();

private:
    void startVortle(const QString& answers = {});
    bool mountSlowStick(const QList<vortle::DiskSettings::Action>& actions = {
                            {"1", "a:\\big.bin", "c:\\big.bin"}});
    QStringList leftOnDriveC() const {
        return QDir(prefix() + "/drive_c")
            .entryList({"big.bin", ".vrtl-*"}, QDir::Files | QDir::Hidden);
    }
    QString prefix() const { return m_root->path() + "/data/vortle"; }
    storage::TaggedValue record(const QString& dosPath, int number) {
        return readRecord(dosPath, number);
    }
    QStringList loggedBoxes() const {
        QFile log(m_root->path() + "/boxes.log");
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<QProcess> m_vortle;
    std::unique_ptr<QProcess> m_slowfs;
    QProcessEnvironment m_extraEnv; // for the program and the slow stick
    Window m_main;
};

void TestEndToEnd::initTestCase() {
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        QSKIP("xdotool is not installed");
}

void TestEndToEnd::init() {
    m_root = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_root->path() + "/data"));
    qputenv("HOME", QFile::encodeName(m_root->path()));
}

void TestEndToEnd::cleanup() {
    if (m_vortle) {
        m_vortle->kill();
        m_vortle->waitForFinished();
    }
    m_vortle.reset();
    if (m_slowfs) {
        m_slowfs->kill();
        m_slowfs->waitForFinished();
        QProcess::execute("fusermount", {"-u", "-z", m_root->path() + "/mnt"});
    }
    m_slowfs.reset();
    m_root.reset();
}

void TestEndToEnd::startVortle(const QString& answers) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("VORTLE_MSGBOX_LOG", m_root->path() + "/boxes.log");
    if (!answers.isEmpty())
        env.insert("VORTLE_MSGBOX_ANSWERS", answers);
    env.insert(m_extraEnv);
    m_vortle = std::make_unique<QProcess>();
    m_vortle->setProcessEnvironment(env);
    m_vortle->setWorkingDirectory(m_root->path());
    m_vortle->start(qEnvironmentVariable("VORTLE_BIN") + "/vortle", QStringList());
    QVERIFY(m_vortle->waitForStarted());
    // After the four seconds of the splash, the main window.
    m_main = findWindow("vrtl");
    if (m_main.id.isEmpty()) // what the program said, for the log of a run that failed here
        qWarning() << m_vortle->state() << m_vortle->readAllStandardError();
    QVERIFY2(!m_main.id.isEmpty(), "the main window did not show");
    m_main.twipsPerPixel = 1575.0 / m_main.geometry.width();
}

void TestEndToEnd::firstStartExecuteLinkSaveNoteAndPreferences() {
    // A diskette with a one-action list; the rest of the prefix is new.
    QDir().mkpath(prefix() + "/drive_a");
    QByteArray settings = QByteArray("\x08\x00\x03\x00"
                                     "E2E",
                                     7);
    settings.append(QByteArray(128 - settings.size(), '\0'));
    settings
        .append(QByteArray("\x08\x00\x01\x00"
                           "0",
                           5))
        .append(QByteArray(123, '\0'));
    settings.append(QByteArray("\x08\x00\x0d\x00"
                               "c:\\Linked dir",
                               17));
    QFile disk(prefix() + "/drive_a/VRTLSettings.sys");
    QVERIFY(disk.open(QIODevice::WriteOnly));
    disk.write(settings);
    disk.close();

    startVortle();
    // First start: the empty settings file, the window at the top left.
    QVERIFY(QFile::exists(prefix() + "/drive_c/windows/system/VRTLSettings.dll"));
    QCOMPARE(m_main.geometry.topLeft(), QPoint(0, 0));
    // The panel as it shows on a first start, for a look after a change (build/screenshots/).
    QTest::qWait(300);
    const QImage shot = shownImage(m_main);
    QDir().mkpath(qEnvironmentVariable("VORTLE_BIN") + "/../screenshots");
    QVERIFY(shot.save(qEnvironmentVariable("VORTLE_BIN") + "/../screenshots/vortle-main.png"));

    // "Execute Link" runs the list.
    m_main.clickControl(1080, 1920, 240, 240);
    QTRY_VERIFY(QFileInfo(prefix() + "/drive_c/Linked dir").isDir());

    // "Disk Properties": a new name, saved with OK.
    m_main.clickControl(1080, 1560, 240, 240);
    const Window properties = findWindow("Disk Properties", m_main.twipsPerPixel);
    QVERIFY(!properties.id.isEmpty());
    properties.clickControl(240 + 120, 480 + 960, 4335, 285); // txtName
    key("ctrl+a");
    typeText("Saved by a click");
    properties.clickControl(2640, 4320, 1455, 375); // &OK
    QTRY_COMPARE(record(DiskSettings::kSettingsPath, 1).toText(),
                 QStringLiteral("Saved by a click"));
    QCOMPARE(record(DiskSettings::kSettingsPath, 2).toText(), QStringLiteral("0"));

    // "Cool Stuff" > "Notes": a note, saved with OK.
    m_main.clickControl(1080, 2280, 240, 240);
    QTest::qWait(600);
    key("Down");
    key("Down");
    key("Return");
    const Window notes = findWindow("Notes", m_main.twipsPerPixel);
    QVERIFY(!notes.id.isEmpty());
    notes.clickControl(120, 120, 5295, 3735);
    typeText("first line");
    key("Return");
    typeText("second line");
    notes.clickControl(2640, 3960, 1335, 375);
    QTRY_COMPARE(QFile(prefix() + "/drive_a/VRTLNotes.sys").size(), 23);
    QFile note(prefix() + "/drive_a/VRTLNotes.sys");
    QVERIFY(note.open(QIODevice::ReadOnly));
    QCOMPARE(note.readAll(), QByteArray("first line\r\nsecond line"));

    // "Preferences": always on top, saved with OK.
    m_main.clickControl(1080, 2880, 240, 240);
    const Window preferences = findWindow("Preferences", m_main.twipsPerPixel);
    QVERIFY(!preferences.id.isEmpty());
    preferences.click(120 + 200, 4320 + 187);       // chkAlwaysOnTop
    preferences.clickControl(120, 5760, 1455, 375); // OK
    QTRY_COMPARE(record(storage::ProgramSettingsPath(), 4).toText(), QStringLiteral("1"));
    QCOMPARE(record(storage::ProgramSettingsPath(), 3).toText(), QStringLiteral("0"));

    // The main window entered the topmost band as the same native window, in the same place.
    QTest::qWait(600);
    const QString before = m_main.id;
    m_main = findWindow("vrtl", m_main.twipsPerPixel);
    QCOMPARE(m_main.id, before);
    QCOMPARE(m_main.geometry.topLeft(), QPoint(0, 0));

    // "Other Stuff" > "Exit Vortle": the position is written and the program ends.
    m_main.clickControl(1080, 3240, 240, 240);
    QTest::qWait(600);
    key("Up");
    key("Return");
    QVERIFY(m_vortle->waitForFinished(5000));
    QCOMPARE(m_vortle->exitCode(), 0);
    QCOMPARE(record(storage::ProgramSettingsPath(), 1).kind(), storage::TaggedValue::Kind::Single);
    QCOMPARE(record(storage::ProgramSettingsPath(), 2).toSingle(), 0.0f);
    QVERIFY(loggedBoxes().isEmpty());
}

void TestEndToEnd::executeLinkWithoutDisketteAnswersItsMessages() {
    QDir().mkpath(prefix() + "/dosdevices");
    QFile::link(m_root->path() + "/no-stick", prefix() + "/dosdevices/a:");
    startVortle();
    m_main.clickControl(1080, 1920, 240, 240);
    QTRY_COMPARE(loggedBoxes().size(), 3);
    QCOMPARE(loggedBoxes(), (QStringList{"Vortle|0|Keine Diskette in Laufwerk A:",
                                         "Vortle|0|Keine Diskette in Laufwerk A:",
                                         "Vortle|16|There's no disk in the drive."}));
    QCOMPARE(m_vortle->state(), QProcess::Running);
}

void TestEndToEnd::panelKeepsItsPlaceUnderAWindowManager_data() {
    QTest::addColumn<QPoint>("stored"); // the outer frame's place in the settings file
    QTest::newRow("first start: the top left") << QPoint(-1, -1);
    QTest::newRow("a place the user chose, over three starts") << QPoint(299, 80);
}

void TestEndToEnd::panelKeepsItsPlaceUnderAWindowManager() {
    QFETCH(QPoint, stored);
    if (QStandardPaths::findExecutable("openbox").isEmpty())
        QSKIP("openbox is not installed");
    QProcess openbox;
    // With the configuration and theme openbox ships (its Alt+F4 among them), not the desktop's.
    QProcessEnvironment shipped = QProcessEnvironment::systemEnvironment();
    shipped.insert("XDG_DATA_DIRS", "/usr/share");
    openbox.setProcessEnvironment(shipped);
    openbox.start("openbox", {"--config-file", "/etc/xdg/openbox/rc.xml"});
    QVERIFY(openbox.waitForStarted());
    QTest::qWait(500);
    host::ensurePrefix();
    if (stored.x() >= 0)
        writeProgramSettings({{1, storage::TaggedValue::single(stored.y() * 15.0f)},
                              {2, storage::TaggedValue::single(stored.x() * 15.0f)}});
    for (int start = 0; start < (stored.x() >= 0 ? 3 : 1); ++start) {
        startVortle();
        QTRY_COMPARE(outerFrame(m_main).topLeft(), stored.x() >= 0 ? stored : QPoint(0, 0));
        // Preferences, centred as the whole window with its title bar.
        m_main.clickControl(1080, 2880, 240, 240);
        const QRect preferences = outerFrame(findWindow("Preferences"));
        QVERIFY((preferences.center() - QPoint(511, 383)).manhattanLength() <= 2);
        // Closed with the close box's key: the place is written as it is.
        xdotool({"windowactivate", "--sync", m_main.id, "key", "alt+F4"});
        QVERIFY(m_vortle->waitForFinished(5000));
    }
    openbox.terminate();
    openbox.waitForFinished();
}

// Native Wayland, on weston's headless backend: a client is not told its place, so three starts
// and ends leave records 1 and 2 as they were.
void TestEndToEnd::waylandKeepsTheSavedPlace() {
    if (QStandardPaths::findExecutable("weston").isEmpty())
        QSKIP("weston is not installed");
    const QString runtime = m_root->path() + "/run";
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.insert("XDG_RUNTIME_DIR", runtime);
    QProcess weston;
    weston.setProcessEnvironment(env);
    weston.start("weston",
                 {"--backend=headless-backend.so", "--socket=vortle-e2e", "--idle-time=0"});
    QTRY_VERIFY_WITH_TIMEOUT(
        QFile::exists(runtime + "/vortle-e2e") || weston.state() == QProcess::NotRunning, 10000);
    if (!QFile::exists(runtime + "/vortle-e2e"))
        QSKIP("weston's headless backend does not start here");
    host::ensurePrefix();
    // Auto-load with no medium in drive A: says so in a box once the panel is loaded.
    QFile::remove(prefix() + "/dosdevices/a:");
    QFile::link(m_root->path() + "/no-stick", prefix() + "/dosdevices/a:");
    writeProgramSettings({{1, storage::TaggedValue::single(3000)},
                          {2, storage::TaggedValue::single(4500)},
                          {3, storage::TaggedValue::integer(1)}});
    env.insert("WAYLAND_DISPLAY", "vortle-e2e");
    env.insert("QT_QPA_PLATFORM", "wayland");
    env.insert("VORTLE_MSGBOX_LOG", m_root->path() + "/boxes.log");
    for (int start = 1; start <= 3; ++start) {
        if (start == 3) { // both named, the X server gone: Wayland after all
            env.remove("QT_QPA_PLATFORM");
            env.insert("DISPLAY", ":4242");
        }
        QProcess vortle;
        vortle.setProcessEnvironment(env);
        vortle.start(qEnvironmentVariable("VORTLE_BIN") + "/vortle", QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(loggedBoxes().size(), start, 15000);
        QTest::qWait(300);
        ::kill(pid_t(vortle.processId()), SIGTERM); // ends through the unload
        QVERIFY(vortle.waitForFinished(5000));
        QCOMPARE(vortle.exitCode(), 0);
        QVERIFY(vortle.readAllStandardError().contains("the compositor decides"));
        QCOMPARE(readProgramSetting(1).toText(), QStringLiteral("3000"));
        QCOMPARE(readProgramSetting(2).toText(), QStringLiteral("4500"));
    }
    weston.terminate();
    weston.waitForFinished();
}

// Drive A: is a slow stick (vortle-slowfs, about 8 MiB/s) with a diskette's settings (by default
// a list that copies its 48 MiB file to c:), its icon and that file. False where FUSE cannot
// mount here.
bool TestEndToEnd::mountSlowStick(const QList<vortle::DiskSettings::Action>& actions) {
    const QString slowfs = QCoreApplication::applicationDirPath() + "/vortle-slowfs";
    const QString stick = m_root->path() + "/stick", mount = m_root->path() + "/mnt";
    if (!QFile::exists(slowfs) || !QFile::exists("/dev/fuse"))
        return false;
    QDir().mkpath(stick);
    QDir().mkpath(mount);
    host::ensurePrefix();
    const QString driveA = prefix() + "/dosdevices/a:";
    QFile::remove(driveA);
    QFile::link(stick, driveA);
    writeDiskSettings("Slow stick", actions);
    QFile::copy(VORTLE_RESOURCES "/sphere.ico", stick + "/VRTLIcon.sys");
    QFile big(stick + "/big.bin");
    if (!big.open(QIODevice::WriteOnly) || !big.resize(qint64(48) << 20))
        return false;
    m_slowfs = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(m_extraEnv);
    m_slowfs->setProcessEnvironment(env);
    m_slowfs->start(slowfs, {stick, mount, "-f", "-s"});
    for (int i = 0; i < 50 && !QFile::exists(mount + "/big.bin"); ++i)
        QTest::qWait(100);
    QFile::remove(driveA);
    return QFile::exists(mount + "/big.bin") && QFile::link(mount, driveA);
}

void TestEndToEnd::longRunPaintsShowsProgressAndCancels() {
    if (!mountSlowStick())
        QSKIP("FUSE cannot mount a slow medium here");
    startVortle();
    m_main.clickControl(1080, 1920, 240, 240); // Execute Link
    const Window progress = findWindow("Execute Link", m_main.twipsPerPixel);
    QVERIFY2(!progress.id.isEmpty(), "no progress window during a long copy");

    // The main window paints while the copy goes on: the progress window laid over it and
    // taken away again leaves it as it was, not with the progress window's pixels.
    xdotool({"windowmove", "--sync", progress.id, "400", "300"});
    QTest::qWait(300);
    const QImage before = shownImage(m_main);
    xdotool({"windowmove", "--sync", progress.id, "0", "0"});
    QTest::qWait(300);
    xdotool({"windowmove", "--sync", progress.id, "400", "300"});
    QTest::qWait(400);
    QCOMPARE(shownImage(m_main), before);

    QElapsedTimer clock;
    clock.start();
    progress.clickControl(4080, 1440, 1335, 375); // Cancel
    QTRY_VERIFY(xdotool({"search", "--onlyvisible", "--name", "^Execute Link$"}).isEmpty());
    qInfo("Cancel closed the progress window after %lld ms", clock.elapsed());
    QCOMPARE(leftOnDriveC(), QStringList()); // no partial copy, no temporary file
    QVERIFY(loggedBoxes().isEmpty());        // a cancelled run is no failure
    QCOMPARE(m_vortle->state(), QProcess::Running);
}

void TestEndToEnd::pulledStickStopsTheRunAndLeavesNothing_data() {
    QTest::addColumn<bool>("replacing");
    QTest::newRow("copying from the stick") << false;
    QTest::newRow("replacing files on the stick") << true;
}

void TestEndToEnd::pulledStickStopsTheRunAndLeavesNothing() {
    QFETCH(bool, replacing);
    // Replacing: the list writes two files of c: over two of the stick's, and the stick is
    // pulled once the first is in place, in the middle of the second.
    const QString stick = m_root->path() + "/stick";
    const QByteArray first(2 << 20, 'n'), second(24 << 20, 'N');
    if (replacing) {
        writeFile(stick + "/one.bin", "old one");
        writeFile(stick + "/two.bin", "old two");
        writeFile(prefix() + "/drive_c/one.bin", first);
        writeFile(prefix() + "/drive_c/two.bin", second);
    }
    const QList<vortle::DiskSettings::Action> replacements{{"1", "c:\\one.bin", "a:\\one.bin"},
                                                           {"1", "c:\\two.bin", "a:\\two.bin"}};
    if (!mountSlowStick(
            replacing ? replacements
                      : QList<vortle::DiskSettings::Action>{{"1", "a:\\big.bin", "c:\\big.bin"}}))
        QSKIP("FUSE cannot mount a slow medium here");
    writeProgramSettings({}); // not a first start, which would show the stick at once
    startVortle();
    const QRectF diskIcon(960, 840, 480, 480);
    const QImage noDisk = shownImage(m_main, diskIcon);
    m_main.clickControl(1080, 1920, 240, 240); // Execute Link
    QVERIFY(!findWindow("Execute Link", m_main.twipsPerPixel).id.isEmpty());
    QVERIFY(shownImage(m_main, diskIcon) != noDisk); // the stick's own icon
    if (replacing)
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(stick + "/one.bin").size(), first.size(), 10000);

    m_slowfs->kill(); // the stick is pulled in the middle of the copy
    QTRY_COMPARE(loggedBoxes(), QStringList{"Vortle|16|Couldn't execute action."});
    if (replacing) { // each file old or new, and whole
        QCOMPARE(readFile(stick + "/one.bin"), first);
        QCOMPARE(readFile(stick + "/two.bin"), QByteArray("old two"));
    } else {
        QCOMPARE(leftOnDriveC(), QStringList());
    }
    QCOMPARE(m_vortle->state(), QProcess::Running);
    m_main.clickControl(diskIcon.x(), diskIcon.y(), diskIcon.width(), diskIcon.height());
    QTRY_COMPARE(shownImage(m_main, diskIcon), noDisk);
}

void TestEndToEnd::stalledStickKeepsThePanelAnswering() {
    // The stick stops answering at the note's name: Notes waits for it no longer than the
    // limit, opens empty, and its OK writes nothing; the session's end is answered at once.
    m_extraEnv.insert("VORTLE_SLOWFS_STALL", "VRTLNotes.sys");
    m_extraEnv.insert("VORTLE_MEDIUM_LIMIT_MS", "2000");
    if (!mountSlowStick())
        QSKIP("FUSE cannot mount a slow medium here");
    startVortle();
    m_main.clickControl(1080, 2280, 240, 240); // "Cool Stuff" > "Notes"
    QTest::qWait(600);
    key("Down");
    key("Down");
    key("Return");
    QVERIFY(!findWindow("Vortle", m_main.twipsPerPixel).id.isEmpty()); // the waiting window
    const Window notes = findWindow("Notes", m_main.twipsPerPixel);
    QVERIFY(!notes.id.isEmpty());
    notes.clickControl(120, 120, 5295, 3735);
    typeText("never written");
    notes.clickControl(2640, 3960, 1335, 375); // OK
    QTRY_COMPARE_WITH_TIMEOUT(loggedBoxes(), QStringList{"Vortle|16|Couldn't write on disk."},
                              6000);
    QVERIFY(!QFile::exists(m_root->path() + "/stick/VRTLNotes.sys"));
    // The panel goes at once. The process itself ends only when the kernel lets go of the
    // thread that still waits on the driver: when the driver is gone.
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(m_vortle->processId()), SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(xdotool({"search", "--name", "^vrtl$"}).isEmpty(), 5000);
    qInfo("SIGTERM took the panel away after %lld ms, its medium stalled", clock.elapsed());
    m_slowfs->kill();
    QVERIFY(m_vortle->waitForFinished(5000));
    QCOMPARE(m_vortle->exitCode(), 0);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::puts("skipped: no X server (./test runs this under xvfb-run)");
        return 77;
    }
    QGuiApplication app(argc, argv); // for the screenshot of the program's window
    TestEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_endtoend.moc"
