// SPDX-License-Identifier: MIT
#include "Ctl.h"
#include "DiskFixture.h"
#include "FormChecks.h"
#include "PrefixTest.h"
#include "RecordFixture.h"

#include "engine/DiskDisplay.h"
#include "forms/disk/AddAction.h"
#include "forms/disk/DiskProperties.h"
#include "host/core/FileSystem.h"
#include "host/gui/FileDialog.h"
#include "host/gui/FormInstance.h"
#include "host/gui/Twips.h"
#include "module1/Module1.h"
#include "storage/Profiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

using namespace vortle;

using DiskSettings::Action;

namespace {

QImage solid(QColor colour, QSize size = {32, 32}) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QStringList itemsOf(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

QColor colourOf(const QLabel* label) {
    return label->pixmap().toImage().pixelColor(4, 4);
}

} // namespace

class TestDiskProperties : public PrefixTest {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void controlsAtTheirPlaces();
    void opensWithTheDisketteAndProfiles();
    void opensWithoutDiskette();
    void tabsSwitchThePages();
    void previewFollowsTheIconPath();
    void searchFillsTheIconPath();
    void profileFillsNameAndIcon();
    void noProfilesOfferOneEmptyItem();
    void deleteAsksFirst();
    void okWithoutChangeRewritesTheSameBytes();
    void okWithANewIconShowsItInTheMainWindow();
    void okKeepsTheIconFilesProtection();
    void unknownKindsSurviveASave();
    void iconThatCannotBeCopiedCostsOnlyTheIcon_data();
    void iconThatCannotBeCopiedCostsOnlyTheIcon();
    void failedSaveKeepsEverything_data();
    void failedSaveKeepsEverything();
    void cancelWritesNothing();
    void windowClosedUnderItsOwnBox();
    void textBoxesHoldAtMost124Characters();

    void addCopyFile();
    void addDeleteFileStoresNoSecondPath();
    void editCopyIntoExecute();
    void cancelOrFrameBringsTheWindowBack_data();
    void cancelOrFrameBringsTheWindowBack();
    void nextWaitsForAKind();
    void editWithoutSelectionDoesNothing();

private:
    DiskProperties* open() { return host::FormInstance<DiskProperties>::show(); }
    QString a(const QString& name) const { return m_prefix->driveA() + "/" + name; }
    QByteArray settingsBytes() const { return m_prefix->readHostFile(a("VRTLSettings.sys")); }
    AddAction* editor() const { return host::FormInstance<AddAction>::loaded(); }

    std::unique_ptr<DiskDisplay> m_mainIcon;
};

void TestDiskProperties::init() {
    PrefixTest::init();
    m_mainIcon = std::make_unique<DiskDisplay>(solid(Qt::red), "Old name");
    m_mainIcon->setPicture(solid(Qt::green));
    Module1::setDiskDisplay(m_mainIcon.get());
    writeDiskSettings(
        "Backup",
        {{"1", "a:\\src.txt", "c:\\dst.txt"}, {"0", "c:\\made", ""}, {"3", "c:\\junk\\*.tmp", ""}});
}

void TestDiskProperties::cleanup() {
    host::setFileDialogHook({});
    delete host::FormInstance<AddAction>::loaded();
    delete host::FormInstance<DiskProperties>::loaded();
    Module1::setDiskDisplay(nullptr);
    m_mainIcon.reset();
    PrefixTest::cleanup();
}

void TestDiskProperties::controlsAtTheirPlaces() {
    DiskProperties* window = open();
    const QStringList faults = layoutFaults(
        window, {
                    {"picName", {240, 480, 5295, 3615}, ""},
                    {"Command6", {120, 120, 1455, 375}, "Get Profiles"},
                    {"Label1", {120, 720, 2535, 255}, "Name"},
                    {"txtName", {120, 960, 4335, 285}, ""},
                    {"Label2", {120, 1560, 2895, 255}, "Icon"},
                    {"txtIcon", {120, 1800, 4335, 285}, ""},
                    {"picIcon", {120, 2160, 480, 480}, ""},
                    {"Command3", {720, 2160, 1455, 375}, "Search"},
                    {"picEL", {240, 480, 5295, 3615}, ""},
                    {"Label3",
                     {120, 240, 5055, 495},
                     "This windows will manage the action that will be taken, when you fire "
                     "\"Execute Link\". Please add them in a logical way."},
                    {"lstActions", {120, 720, 5055, 1620}, ""},
                    {"Command4", {120, 2520, 1455, 375}, "Add an action"},
                    {"Command7", {1680, 2520, 1455, 375}, "Edit action"},
                    {"Command5", {3240, 2520, 1455, 375}, "Delete action"},
                    {"Command2", {2640, 4320, 1455, 375}, "&OK"},
                    {"Command1", {4200, 4320, 1455, 375}, "&Cancel"},
                    {"lstMode", {5880, 480, 1215, 840}, ""},
                    {"lstExec1", {5880, 1440, 1215, 840}, ""},
                    {"lstExec2", {5880, 2400, 1215, 840}, ""},
                });
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    QCOMPARE(window->windowTitle(), QStringLiteral("Disk Properties"));
    // The hidden lists lie outside the client area.
    for (const char* name : {"lstMode", "lstExec1", "lstExec2"})
        QVERIFY(!window->rect().intersects(ctl<QListWidget>(window, name)->geometry()));
}

void TestDiskProperties::opensWithTheDisketteAndProfiles() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "");
    Profiles::writeAllProfiles(Profiles::kFixedProfilesPath,
                               {{"Work", ""}, {"Games", ""}, {"Music", ""}});
    DiskProperties* window = open();
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QStringLiteral("Backup"));
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QString());
    QCOMPARE(colourOf(ctl<QLabel>(window, "picIcon")), QColor(Qt::green)); // the main window's icon
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstActions")),
             (QStringList{"Copy file", "Create directory", "Delete file"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstMode")), (QStringList{"1", "0", "3"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec1")),
             (QStringList{"a:\\src.txt", "c:\\made", "c:\\junk\\*.tmp"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec2")), (QStringList{"c:\\dst.txt", "", ""}));
    // What a row touches can be read before it runs.
    const QListWidgetItem* copy = ctl<QListWidget>(window, "lstActions")->item(0);
    QCOMPARE(copy->toolTip(), QStringLiteral("\u2068a:\\src.txt\u2069\n\u2068c:\\dst.txt\u2069"));
    QCOMPARE(copy->data(Qt::AccessibleDescriptionRole).toString(), copy->toolTip());
    QCOMPARE(ctl<QTabBar>(window, "Tab1")->currentIndex(), 0);
    QCOMPARE(window->focusWidget(), ctl<QLineEdit>(window, "txtName"));
    QVERIFY(ctl<QWidget>(window, "picName")->isVisible());
    QVERIFY(!ctl<QWidget>(window, "picEL")->isVisible());
    QVERIFY(!ctl<QLabel>(window, "lblMode")->isVisible());
    QCOMPARE(ctl<QMenu>(window, "mnuProfiles")->actions().size(), 3);
    QCOMPARE(ctl<QMenu>(window, "mnuProfiles")->actions()[2]->text(), QStringLiteral("Music"));
    QVERIFY(m_boxes->boxes.isEmpty());
    // Showing it again only raises it.
    QCOMPARE(host::FormInstance<DiskProperties>::show(), window);
    QCOMPARE(ctl<QListWidget>(window, "lstActions")->count(), 3);
}

void TestDiskProperties::opensWithoutDiskette() {
    Profiles::writeAllProfiles(Profiles::kFixedProfilesPath, {{"Work", ""}});
    m_prefix->pointDrive('a', m_prefix->root() + "/pulled");
    DiskProperties* window = open();
    QCOMPARE(m_boxes->prompts(), QStringList{"Keine Diskette in Laufwerk A:"});
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QString());
    QCOMPARE(ctl<QListWidget>(window, "lstActions")->count(), 0);
    QCOMPARE(ctl<QMenu>(window, "mnuProfiles")->actions()[0]->text(), QStringLiteral("Work"));
}

void TestDiskProperties::tabsSwitchThePages() {
    DiskProperties* window = open();
    ctl<QTabBar>(window, "Tab1")->setCurrentIndex(1);
    QVERIFY(!ctl<QWidget>(window, "picName")->isVisible());
    QVERIFY(ctl<QWidget>(window, "picEL")->isVisible());
    ctl<QTabBar>(window, "Tab1")->setCurrentIndex(0);
    QVERIFY(ctl<QWidget>(window, "picName")->isVisible());
    QVERIFY(!ctl<QWidget>(window, "picEL")->isVisible());
    // Ctrl+Tab and Ctrl+Shift+Tab turn them too; the hidden tables never take the focus.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(ctl<QWidget>(window, "picEL")->isVisible());
    QTest::keyClick(window, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(ctl<QWidget>(window, "picName")->isVisible());
    QCOMPARE(ctl<QWidget>(window, "lstMode")->focusPolicy(), Qt::NoFocus);
}

void TestDiskProperties::previewFollowsTheIconPath() {
    solid(Qt::blue).save(a("blue.bmp"), "BMP");
    m_prefix->writeHostFile("data/vortle/drive_a/broken.ico", "no picture");
    DiskProperties* window = open();
    ctl<QLineEdit>(window, "txtIcon")->setText("a:\\BLUE.BMP");
    QCOMPARE(colourOf(ctl<QLabel>(window, "picIcon")), QColor(Qt::blue));
    ctl<QLineEdit>(window, "txtIcon")->setText("a:\\broken.ico");
    QCOMPARE(colourOf(ctl<QLabel>(window, "picIcon")), QColor(Qt::blue));
    QTest::keyClicks(ctl<QLineEdit>(window, "txtIcon"), "x");
    QCOMPARE(colourOf(ctl<QLabel>(window, "picIcon")), QColor(Qt::blue));
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestDiskProperties::searchFillsTheIconPath() {
    solid(Qt::yellow).save(a("sun.ico"), "ICO");
    QList<host::FileDialogRequest> requests;
    std::optional<QString> answer = a("sun.ico");
    host::setFileDialogHook([&](const host::FileDialogRequest& request) {
        requests.append(request);
        return answer;
    });
    DiskProperties* window = open();
    ctl<QPushButton>(window, "Command3")->click();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].nameFilters, QStringList{"Icons (*.ico)"});
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QStringLiteral("a:\\sun.ico"));
    QCOMPARE(colourOf(ctl<QLabel>(window, "picIcon")), QColor(Qt::yellow));
    answer = std::nullopt; // Cancel empties the box
    ctl<QPushButton>(window, "Command3")->click();
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QString());
}

void TestDiskProperties::profileFillsNameAndIcon() {
    solid(Qt::magenta).save(m_prefix->driveC() + "/work.ico", "ICO");
    Profiles::writeAllProfiles(Profiles::kFixedProfilesPath,
                               {{"Home", ""}, {"Work", "c:\\work.ico"}});
    DiskProperties* window = open();
    ctl<QPushButton>(window, "Command6")->click();
    QTRY_VERIFY(ctl<QMenu>(window, "mnuProfiles")->isVisible());
    ctl<QMenu>(window, "mnuProfiles")->close();
    ctl<QMenu>(window, "mnuProfiles")->actions()[1]->trigger();
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QStringLiteral("Work"));
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QStringLiteral("c:\\work.ico"));
    QCOMPARE(colourOf(ctl<QLabel>(window, "picIcon")), QColor(Qt::magenta));
    // The file is read afresh: a profile saved meanwhile is what the entry delivers.
    Profiles::writeAllProfiles(Profiles::kFixedProfilesPath, {{"Home", ""}});
    ctl<QMenu>(window, "mnuProfiles")->actions()[1]->trigger();
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QString());
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QString());
}

void TestDiskProperties::noProfilesOfferOneEmptyItem() {
    DiskProperties* window = open();
    QCOMPARE(ctl<QMenu>(window, "mnuProfiles")->actions().size(), 1);
    QCOMPARE(ctl<QMenu>(window, "mnuProfiles")->actions()[0]->text(), QString());
    ctl<QMenu>(window, "mnuProfiles")->actions()[0]->trigger();
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QString());
    QCOMPARE(ctl<QLineEdit>(window, "txtIcon")->text(), QString());
}

void TestDiskProperties::deleteAsksFirst() {
    DiskProperties* window = open();
    ctl<QPushButton>(window, "Command5")->click(); // nothing selected
    QVERIFY(m_boxes->boxes.isEmpty());
    ctl<QListWidget>(window, "lstActions")->setCurrentRow(1);
    QCOMPARE(ctl<QListWidget>(window, "lstExec1")->currentRow(), 1);
    m_boxes->answers = {7};
    ctl<QPushButton>(window, "Command5")->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Are you sure that you want to delete this action?"});
    QCOMPARE(m_boxes->boxes[0].style, 20);
    QCOMPARE(ctl<QListWidget>(window, "lstActions")->count(), 3);
    m_boxes->answers = {6};
    ctl<QPushButton>(window, "Command5")->click();
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstActions")),
             (QStringList{"Copy file", "Delete file"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstMode")), (QStringList{"1", "3"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec1")),
             (QStringList{"a:\\src.txt", "c:\\junk\\*.tmp"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec2")), (QStringList{"c:\\dst.txt", ""}));
    ctl<QPushButton>(window, "Command2")->click();
    QVERIFY(!host::FormInstance<DiskProperties>::loaded() || !window->isVisible());
    const QByteArray bytes = settingsBytes();
    QCOMPARE(bytes.size(), 6 * 128 + 4); // ends with the second action's empty second path
}

void TestDiskProperties::okWithoutChangeRewritesTheSameBytes() {
    const QByteArray before = settingsBytes();
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "old icon");
    DiskProperties* window = open();
    ctl<QPushButton>(window, "Command2")->click();
    QTRY_VERIFY(!host::FormInstance<DiskProperties>::loaded());
    QCOMPARE(settingsBytes(), before);
    QCOMPARE(m_prefix->readHostFile(a("VRTLIcon.sys")), QByteArray("old icon"));
    QCOMPARE(m_mainIcon->picture().pixelColor(4, 4), QColor(Qt::green));
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Backup"));
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(QDir(m_prefix->driveA()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"VRTLIcon.sys", "VRTLSettings.sys"}));
}

void TestDiskProperties::okWithANewIconShowsItInTheMainWindow() {
    solid(Qt::cyan).save(m_prefix->driveC() + "/new.ico", "ICO");
    DiskProperties* window = open();
    ctl<QLineEdit>(window, "txtName")->setText("Renamed");
    ctl<QLineEdit>(window, "txtIcon")->setText("c:\\new.ico");
    ctl<QPushButton>(window, "Command2")->click();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_prefix->readHostFile(a("VRTLIcon.sys")),
             m_prefix->readHostFile(m_prefix->driveC() + "/new.ico"));
    QCOMPARE(m_mainIcon->picture().pixelColor(4, 4), QColor(Qt::cyan));
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Renamed"));
}

void TestDiskProperties::okKeepsTheIconFilesProtection() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "old icon");
    host::setAttributes("a:\\VRTLIcon.sys", host::AttrReadOnly | host::AttrHidden);
    solid(Qt::cyan).save(m_prefix->driveC() + "/new.ico", "ICO");
    DiskProperties* window = open();
    ctl<QLineEdit>(window, "txtIcon")->setText("c:\\new.ico");
    ctl<QPushButton>(window, "Command2")->click();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_prefix->readHostFile(a("VRTLIcon.sys")),
             m_prefix->readHostFile(m_prefix->driveC() + "/new.ico"));
    const int attributes = host::getAttributes("a:\\VRTLIcon.sys");
    QVERIFY(attributes & host::AttrReadOnly);
    if (QFile(a("VRTLIcon.sys")).exists() && (attributes & host::AttrHidden) == 0)
        QSKIP("this file system keeps no hidden attribute");
    QCOMPARE(attributes & (host::AttrReadOnly | host::AttrHidden),
             host::AttrReadOnly | host::AttrHidden);
    // The settings file got none.
    QCOMPARE(host::getAttributes("a:\\VRTLSettings.sys"), int(host::AttrArchive));
}

void TestDiskProperties::unknownKindsSurviveASave() {
    writeDiskSettings("Other tool", {{"9", "first", "second"}, {"1", "a", "b"}});
    const QByteArray before = settingsBytes();
    DiskProperties* window = open();
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstActions")),
             (QStringList{"Unknown action (9)", "Copy file"}));
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(settingsBytes(), before);
}

void TestDiskProperties::iconThatCannotBeCopiedCostsOnlyTheIcon_data() {
    QTest::addColumn<QString>("icon");
    QTest::newRow("gone") << "c:\\no such icon.ico";
    QTest::newRow("a folder") << "c:\\windows";
    QTest::newRow("a missing drive") << "q:\\sun.ico";
    // A picture the window shows, which the diskette cannot take: never shown on the panel.
    QTest::newRow("the disk's icon file a folder") << "c:\\sun.ico";
}

void TestDiskProperties::iconThatCannotBeCopiedCostsOnlyTheIcon() {
    QFETCH(QString, icon);
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "old icon");
    const bool folder = icon == "c:\\sun.ico";
    if (folder) {
        solid(Qt::yellow).save(m_prefix->driveC() + "/sun.ico", "ICO");
        QVERIFY(QFile::remove(a("VRTLIcon.sys")) && QDir().mkdir(a("VRTLIcon.sys")));
    }
    DiskProperties* window = open();
    ctl<QLineEdit>(window, "txtName")->setText("Changed");
    window->appendAction({"0", "c:\\new", ""});
    ctl<QLineEdit>(window, "txtIcon")->setText(icon);
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Couldn't copy the icon to the disk."});
    QCOMPARE(m_boxes->boxes[0].style, 16);
    QCOMPARE(m_boxes->boxes[0].title, QStringLiteral("Vortle"));
    QTRY_VERIFY(!host::FormInstance<DiskProperties>::loaded());
    QCOMPARE(readRecord(DiskSettings::kSettingsPath, 1).toText(), QStringLiteral("Changed"));
    QCOMPARE(readRecord(DiskSettings::kSettingsPath, DiskSettings::kindRecord(3)).toText(),
             QStringLiteral("0"));
    QCOMPARE(m_prefix->readHostFile(a("VRTLIcon.sys")), folder ? QByteArray() : "old icon");
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Changed"));
    QCOMPARE(m_mainIcon->picture().pixelColor(4, 4), QColor(Qt::green));
}

void TestDiskProperties::failedSaveKeepsEverything_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("read-only settings file") << "readonly";
    QTest::newRow("write-protected diskette") << "protected";
    QTest::newRow("full diskette") << "full";
    QTest::newRow("pulled diskette") << "pulled";
    // Another stick takes drive A: while the window is open: it gets nothing, and once the
    // window's own is back, OK saves there.
    QTest::newRow("another medium") << "swapped";
    QTest::newRow("another medium, after the editor's Cancel") << "swapped editor";
    QTest::newRow("another medium mounted where it was") << "mounted over";
}

void TestDiskProperties::failedSaveKeepsEverything() {
    QFETCH(QString, fault);
    std::unique_ptr<TmpfsMount> medium;
    if (fault == "protected" || fault == "full") {
        medium = std::make_unique<TmpfsMount>(m_prefix->root() + "/medium", false, 64);
        if (!medium->isMounted())
            QSKIP("cannot mount a small medium here");
        m_prefix->pointDrive('a', medium->path());
        writeDiskSettings("Backup", {{"1", "a:\\src.txt", "c:\\dst.txt"}});
    }
    const QByteArray before = settingsBytes();
    DiskProperties* window = open();
    ctl<QLineEdit>(window, "txtName")->setText("Changed");
    window->appendAction({"0", "c:\\new", ""});
    if (fault == "readonly")
        host::setAttributes("a:\\VRTLSettings.sys", host::AttrReadOnly);
    if (fault == "protected")
        QVERIFY(medium->makeReadOnly());
    if (fault == "full") {
        // Fill the medium so that the new settings file finds no room.
        QFile filler(medium->path() + "/filler");
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    if (fault == "pulled")
        m_prefix->pointDrive('a', m_prefix->root() + "/gone");
    const QString other = m_prefix->root() + "/other";
    if (fault.startsWith("swapped")) {
        QVERIFY(QDir().mkpath(other));
        m_prefix->writeHostFile("other/VRTLSettings.sys", "theirs");
        m_prefix->pointDrive('a', other);
    }
    std::unique_ptr<TmpfsMount> over;
    if (fault == "mounted over") {
        over = std::make_unique<TmpfsMount>(m_prefix->driveA(), false);
        if (!over->isMounted())
            QSKIP("cannot mount a medium here");
    }
    if (fault == "swapped editor") {
        ctl<QPushButton>(window, "Command4")->click();
        ctl<QPushButton>(editor(), "Command2")->click();
        QTRY_VERIFY(window->isVisible());
    }

    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Couldn't write on disk."});
    QCOMPARE(m_boxes->boxes[0].style, 16);
    QVERIFY(host::FormInstance<DiskProperties>::loaded());
    QVERIFY(window->isVisible());
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QStringLiteral("Changed"));
    QCOMPARE(ctl<QListWidget>(window, "lstActions")->count(),
             fault == "protected" || fault == "full" ? 2 : 4);
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Old name"));
    if (fault == "pulled")
        return;
    if (fault.startsWith("swapped")) {
        QCOMPARE(m_prefix->readHostFile(other + "/VRTLSettings.sys"), QByteArray("theirs"));
        QCOMPARE(QDir(other).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"VRTLSettings.sys"});
        m_prefix->pointDrive('a', m_prefix->prefix() + "/drive_a");
    }
    if (over) {
        QCOMPARE(QDir(over->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), {});
        over.reset(); // the window's own medium is back
    }
    QCOMPARE(settingsBytes(), before);
    // No attributes were set: once the cause is gone the next save succeeds.
    if (fault == "readonly") {
        host::setAttributes("a:\\VRTLSettings.sys", host::AttrNormal);
        QVERIFY(!QFile::exists(a("VRTLIcon.sys")));
    }
    if (fault != "protected" && fault != "full") {
        m_boxes->boxes.clear();
        ctl<QPushButton>(window, "Command2")->click();
        QVERIFY(m_boxes->boxes.isEmpty());
        QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Changed"));
    }
}

void TestDiskProperties::windowClosedUnderItsOwnBox() {
    // The real box, over a window that its own OK and then Cancel close while the box is open
    // (as the accessibility layer can press them): box and window go, the program stays.
    DiskProperties* window = open();
    m_boxes.reset();
    m_prefix->pointDrive('a', m_prefix->root() + "/pulled");
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    bool overTheWindow = false;
    QTimer::singleShot(100, window, [&] {
        overTheWindow = QApplication::activeModalWidget()->parentWidget() == window;
        QTimer::singleShot(100, window, [&] { ctl<QPushButton>(window, "Command1")->click(); });
        ctl<QPushButton>(window, "Command2")->click(); // a second box, over the first
    });
    ctl<QPushButton>(window, "Command2")->click();
    QVERIFY(overTheWindow);
    QTRY_VERIFY(!host::FormInstance<DiskProperties>::loaded());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestDiskProperties::cancelWritesNothing() {
    const QByteArray before = settingsBytes();
    DiskProperties* window = open();
    ctl<QLineEdit>(window, "txtName")->setText("Other");
    ctl<QListWidget>(window, "lstActions")->setCurrentRow(0);
    m_boxes->answers = {6};
    ctl<QPushButton>(window, "Command5")->click();
    ctl<QPushButton>(window, "Command1")->click();
    QTRY_VERIFY(!host::FormInstance<DiskProperties>::loaded());
    QCOMPARE(settingsBytes(), before);
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Old name"));
}

void TestDiskProperties::textBoxesHoldAtMost124Characters() {
    DiskProperties* window = open();
    QTest::keyClicks(ctl<QLineEdit>(window, "txtName"), QString(130, 'n'));
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text().size(), 124);
    ctl<QPushButton>(window, "Command2")->click();
    QVERIFY(m_boxes->boxes.isEmpty());
    window = open();
    ctl<QPushButton>(window, "Command4")->click();
    QCOMPARE(ctl<QLineEdit>(editor(), "txtExec1")->maxLength(), 124);
    QCOMPARE(ctl<QLineEdit>(editor(), "txtExec2")->maxLength(), 124);
}

void TestDiskProperties::addCopyFile() {
    DiskProperties* window = open();
    ctl<QPushButton>(window, "Command4")->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(ctl<QLabel>(window, "lblMode")->text(), QStringLiteral("Add"));
    AddAction* wizard = editor();
    QVERIFY(wizard && wizard->isVisible());
    QCOMPARE(wizard->windowModality(), Qt::ApplicationModal);
    QCOMPARE(wizard->windowTitle(), QStringLiteral("Add an action"));
    QCOMPARE(ctl<QListWidget>(wizard, "lstActions")->currentRow(), -1);
    QCOMPARE(
        itemsOf(ctl<QListWidget>(wizard, "lstActions")),
        (QStringList{"Create directory", "Copy file", "Move file", "Delete file", "Execute file"}));
    QVERIFY(!ctl<QWidget>(wizard, "picFillOut")->isVisible());
    ctl<QListWidget>(wizard, "lstActions")->setCurrentRow(1);
    ctl<QPushButton>(wizard, "Command1")->click();
    QVERIFY(ctl<QWidget>(wizard, "picFillOut")->isVisible());
    QVERIFY(!ctl<QPushButton>(wizard, "Command1")->isEnabled());
    QCOMPARE(ctl<QPushButton>(wizard, "Command2")->text(), QStringLiteral("Close"));
    QCOMPARE(ctl<QLabel>(wizard, "lblAction")->text(),
             QStringLiteral(
                 "Please fill out the text-boxes below to enter the nessecary informations."));
    QCOMPARE(ctl<QLabel>(wizard, "lblExec1")->text(), QStringLiteral("Source file"));
    QCOMPARE(ctl<QLabel>(wizard, "lblExec2")->text(), QStringLiteral("Destination file"));
    QVERIFY(ctl<QLineEdit>(wizard, "txtExec2")->isVisible());
    QTest::keyClicks(ctl<QLineEdit>(wizard, "txtExec1"), "a:\\letter.doc");
    QTest::keyClicks(ctl<QLineEdit>(wizard, "txtExec2"), "c:\\letters\\letter.doc");
    ctl<QPushButton>(wizard, "Command2")->click();
    QTRY_VERIFY(!editor());
    QVERIFY(window->isVisible());
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstActions")).last(), QStringLiteral("Copy file"));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstMode")).last(), QStringLiteral("1"));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec1")).last(),
             QStringLiteral("a:\\letter.doc"));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec2")).last(),
             QStringLiteral("c:\\letters\\letter.doc"));
    QCOMPARE(ctl<QListWidget>(window, "lstMode")->count(), 4);
}

void TestDiskProperties::addDeleteFileStoresNoSecondPath() {
    DiskProperties* window = open();
    ctl<QPushButton>(window, "Command4")->click();
    ctl<QListWidget>(editor(), "lstActions")->setCurrentRow(3);
    ctl<QPushButton>(editor(), "Command1")->click();
    QCOMPARE(ctl<QLabel>(editor(), "lblExec1")->text(), QStringLiteral("File to be deleted"));
    QVERIFY(!ctl<QLineEdit>(editor(), "txtExec2")->isVisible());
    QVERIFY(!ctl<QLabel>(editor(), "lblExec2")->isVisible());
    ctl<QPushButton>(editor(), "Command2")->click(); // "Close" with empty boxes commits empty paths
    QTRY_VERIFY(!editor());
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstMode")).last(), QStringLiteral("3"));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec1")).last(), QString());
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec2")).last(), QString());
    ctl<QPushButton>(window, "Command2")->click();
    QCOMPARE(settingsBytes().size(), 12 * 128 + 4);
}

void TestDiskProperties::editCopyIntoExecute() {
    DiskProperties* window = open();
    ctl<QListWidget>(window, "lstActions")->setCurrentRow(0);
    ctl<QPushButton>(window, "Command7")->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(ctl<QLabel>(window, "lblMode")->text(), QStringLiteral("Edit"));
    AddAction* wizard = editor();
    QCOMPARE(wizard->windowModality(), Qt::NonModal);
    QCOMPARE(ctl<QListWidget>(wizard, "lstActions")->currentRow(), 1);
    QCOMPARE(ctl<QLineEdit>(wizard, "txtExec1")->text(), QStringLiteral("a:\\src.txt"));
    QCOMPARE(ctl<QLineEdit>(wizard, "txtExec2")->text(), QStringLiteral("c:\\dst.txt"));
    ctl<QListWidget>(wizard, "lstActions")->setCurrentRow(4);
    ctl<QPushButton>(wizard, "Command1")->click();
    QCOMPARE(ctl<QLabel>(wizard, "lblExec1")->text(), QStringLiteral("File to be executed"));
    ctl<QLineEdit>(wizard, "txtExec1")->setText("c:\\tools\\backup.sh");
    ctl<QPushButton>(wizard, "Command2")->click();
    QTRY_VERIFY(!editor());
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstActions")),
             (QStringList{"Execute file", "Create directory", "Delete file"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstMode")), (QStringList{"4", "0", "3"}));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec1")).first(),
             QStringLiteral("c:\\tools\\backup.sh"));
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec2")).first(),
             QStringLiteral("c:\\dst.txt")); // kept
    QVERIFY(ctl<QListWidget>(window, "lstActions")
                ->item(0)
                ->toolTip()
                .endsWith("\nRuns in the root folder of drive A:"));

    // "Add an action" while an "Edit action" editor is open starts a fresh editor.
    ctl<QListWidget>(window, "lstActions")->setCurrentRow(0);
    ctl<QPushButton>(window, "Command7")->click();
    QPointer<AddAction> stale = editor();
    window->show();
    ctl<QPushButton>(window, "Command4")->click();
    QVERIFY(!stale);
    QVERIFY(!window->isVisible());
    QCOMPARE(ctl<QListWidget>(editor(), "lstActions")->currentRow(), -1);
    QCOMPARE(ctl<QLineEdit>(editor(), "txtExec2")->text(), QString());
    QCOMPARE(itemsOf(ctl<QListWidget>(window, "lstExec2")).first(), QStringLiteral("c:\\dst.txt"));
}

void TestDiskProperties::cancelOrFrameBringsTheWindowBack_data() {
    QTest::addColumn<bool>("byFrame");
    QTest::addColumn<bool>("afterNext");
    QTest::newRow("Cancel") << false << false;
    QTest::newRow("frame, choosing the kind") << true << false;
    QTest::newRow("frame, filling in") << true << true;
}

void TestDiskProperties::cancelOrFrameBringsTheWindowBack() {
    QFETCH(bool, byFrame);
    QFETCH(bool, afterNext);
    DiskProperties* window = open();
    ctl<QLineEdit>(window, "txtName")->setText("Typed");
    ctl<QPushButton>(window, "Command4")->click();
    ctl<QListWidget>(editor(), "lstActions")->setCurrentRow(0);
    if (afterNext)
        ctl<QPushButton>(editor(), "Command1")->click();
    if (byFrame)
        editor()->close();
    else
        ctl<QPushButton>(editor(), "Command2")->click();
    QTRY_VERIFY(!editor());
    QVERIFY(window->isVisible());
    QCOMPARE(ctl<QListWidget>(window, "lstActions")->count(), 3); // nothing committed
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QStringLiteral("Typed"));
}

void TestDiskProperties::nextWaitsForAKind() {
    writeDiskSettings("Odd", {{"9", "x", "y"}});
    DiskProperties* window = open();
    ctl<QListWidget>(window, "lstActions")->setCurrentRow(0);
    ctl<QPushButton>(window, "Command7")->click();
    QCOMPARE(ctl<QListWidget>(editor(), "lstActions")->currentRow(),
             -1); // no kind of the list fits "9"
    // Nothing chosen: not even once the list has the focus (Qt makes its first row current).
    ctl<QListWidget>(editor(), "lstActions")->setFocus();
    ctl<QListWidget>(editor(), "lstActions")->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QVERIFY(!ctl<QPushButton>(editor(), "Command1")->isEnabled());
    ctl<QPushButton>(editor(), "Command1")->click();
    QVERIFY(!ctl<QWidget>(editor(), "picFillOut")->isVisible());
    QCOMPARE(ctl<QPushButton>(editor(), "Command2")->text(), QStringLiteral("Cancel"));
    ctl<QListWidget>(editor(), "lstActions")->setCurrentRow(1);
    QVERIFY(ctl<QPushButton>(editor(), "Command1")->isEnabled());
}

void TestDiskProperties::editWithoutSelectionDoesNothing() {
    DiskProperties* window = open();
    ctl<QPushButton>(window, "Command7")->click();
    QVERIFY(window->isVisible());
    QVERIFY(!editor());
}

QTEST_MAIN(TestDiskProperties)
#include "tst_diskproperties.moc"
