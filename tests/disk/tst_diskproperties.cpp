#include "DiskFixture.h"
#include "FormChecks.h"
#include "PrefixTest.h"
#include "RecordFixture.h"

#include "disk/AddAction.h"
#include "disk/DiskProperties.h"
#include "disk/Module1.h"
#include "host/FileDialog.h"
#include "host/FileSystem.h"
#include "host/FormInstance.h"
#include "host/Twips.h"
#include "prefs/Profiles.h"

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

    void controlsAtTheirPlaces_data();
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

    std::unique_ptr<QLabel> m_mainIcon;
    std::unique_ptr<QLabel> m_noDisk;
};

void TestDiskProperties::init() {
    PrefixTest::init();
    m_mainIcon = std::make_unique<QLabel>();
    m_noDisk = std::make_unique<QLabel>();
    m_mainIcon->setPixmap(QPixmap::fromImage(solid(Qt::green)));
    m_mainIcon->setToolTip("Old name");
    m_noDisk->setPixmap(QPixmap::fromImage(solid(Qt::red)));
    Module1::setDiskDisplay(m_mainIcon.get(), m_noDisk.get());
    writeDiskSettings(
        "Backup",
        {{"1", "a:\\src.txt", "c:\\dst.txt"}, {"0", "c:\\made", ""}, {"3", "c:\\junk\\*.tmp", ""}});
}

void TestDiskProperties::cleanup() {
    host::setFileDialogHook({});
    delete host::FormInstance<AddAction>::loaded();
    delete host::FormInstance<DiskProperties>::loaded();
    Module1::setDiskDisplay(nullptr, nullptr);
    m_mainIcon.reset();
    m_noDisk.reset();
    PrefixTest::cleanup();
}

void TestDiskProperties::controlsAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRectF>("twips");
    QTest::addColumn<QString>("caption");
    QTest::newRow("picName") << "picName" << QRectF(240, 480, 5295, 3615) << "";
    QTest::newRow("Command6") << "Command6" << QRectF(120, 120, 1455, 375) << "Get Profiles";
    QTest::newRow("Label1") << "Label1" << QRectF(120, 720, 2535, 255) << "Name";
    QTest::newRow("txtName") << "txtName" << QRectF(120, 960, 4335, 285) << "";
    QTest::newRow("Label2") << "Label2" << QRectF(120, 1560, 2895, 255) << "Icon";
    QTest::newRow("txtIcon") << "txtIcon" << QRectF(120, 1800, 4335, 285) << "";
    QTest::newRow("picIcon") << "picIcon" << QRectF(120, 2160, 480, 480) << "";
    QTest::newRow("Command3") << "Command3" << QRectF(720, 2160, 1455, 375) << "Search";
    QTest::newRow("picEL") << "picEL" << QRectF(240, 480, 5295, 3615) << "";
    QTest::newRow("Label3")
        << "Label3" << QRectF(120, 240, 5055, 495)
        << "This windows will manage the action that will be taken, when you fire "
           "\"Execute Link\". Please add them in a logical way.";
    QTest::newRow("lstActions") << "lstActions" << QRectF(120, 720, 5055, 1620) << "";
    QTest::newRow("Command4") << "Command4" << QRectF(120, 2520, 1455, 375) << "Add an action";
    QTest::newRow("Command7") << "Command7" << QRectF(1680, 2520, 1455, 375) << "Edit action";
    QTest::newRow("Command5") << "Command5" << QRectF(3240, 2520, 1455, 375) << "Delete action";
    QTest::newRow("Command2") << "Command2" << QRectF(2640, 4320, 1455, 375) << "&OK";
    QTest::newRow("Command1") << "Command1" << QRectF(4200, 4320, 1455, 375) << "&Cancel";
    QTest::newRow("lstMode") << "lstMode" << QRectF(5880, 480, 1215, 840) << "";
    QTest::newRow("lstExec1") << "lstExec1" << QRectF(5880, 1440, 1215, 840) << "";
    QTest::newRow("lstExec2") << "lstExec2" << QRectF(5880, 2400, 1215, 840) << "";
}

void TestDiskProperties::controlsAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QRectF, twips);
    QFETCH(QString, caption);
    DiskProperties* window = open();
    QWidget* control = checkControl(window, name, twips, caption);
    QVERIFY(control);
    QCOMPARE(window->windowTitle(), QStringLiteral("Disk Properties"));
    // The hidden lists lie outside the client area.
    if (name.startsWith("lst") && name != "lstActions")
        QVERIFY(!window->rect().intersects(control->geometry()));
}

void TestDiskProperties::opensWithTheDisketteAndProfiles() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "");
    Profiles::writeAllProfiles(Profiles::kFixedProfilesPath,
                               {{"Work", ""}, {"Games", ""}, {"Music", ""}});
    DiskProperties* window = open();
    QCOMPARE(window->txtName->text(), QStringLiteral("Backup"));
    QCOMPARE(window->txtIcon->text(), QString());
    QCOMPARE(colourOf(window->picIcon), QColor(Qt::green)); // the main window's icon
    QCOMPARE(itemsOf(window->lstActions),
             (QStringList{"Copy file", "Create directory", "Delete file"}));
    QCOMPARE(itemsOf(window->lstMode), (QStringList{"1", "0", "3"}));
    QCOMPARE(itemsOf(window->lstExec1),
             (QStringList{"a:\\src.txt", "c:\\made", "c:\\junk\\*.tmp"}));
    QCOMPARE(itemsOf(window->lstExec2), (QStringList{"c:\\dst.txt", "", ""}));
    QCOMPARE(window->Tab1->currentIndex(), 0);
    QVERIFY(window->picName->isVisible());
    QVERIFY(!window->picEL->isVisible());
    QVERIFY(!window->lblMode->isVisible());
    QCOMPARE(window->mnuProfile.size(), 3);
    QCOMPARE(window->mnuProfile[2]->text(), QStringLiteral("Music"));
    QVERIFY(m_boxes->boxes.isEmpty());
    // Showing it again only raises it.
    QCOMPARE(host::FormInstance<DiskProperties>::show(), window);
    QCOMPARE(window->lstActions->count(), 3);
}

void TestDiskProperties::opensWithoutDiskette() {
    Profiles::writeAllProfiles(Profiles::kFixedProfilesPath, {{"Work", ""}});
    m_prefix->pointDrive('a', m_prefix->root() + "/pulled");
    DiskProperties* window = open();
    QCOMPARE(m_boxes->prompts(), QStringList{"Keine Diskette in Laufwerk A:"});
    QCOMPARE(window->txtName->text(), QString());
    QCOMPARE(window->lstActions->count(), 0);
    QCOMPARE(window->mnuProfile[0]->text(), QStringLiteral("Work"));
}

void TestDiskProperties::tabsSwitchThePages() {
    DiskProperties* window = open();
    window->Tab1->setCurrentIndex(1);
    QVERIFY(!window->picName->isVisible());
    QVERIFY(window->picEL->isVisible());
    window->Tab1->setCurrentIndex(0);
    QVERIFY(window->picName->isVisible());
    QVERIFY(!window->picEL->isVisible());
}

void TestDiskProperties::previewFollowsTheIconPath() {
    solid(Qt::blue).save(a("blue.bmp"), "BMP");
    m_prefix->writeHostFile("data/vortle/drive_a/broken.ico", "no picture");
    DiskProperties* window = open();
    window->txtIcon->setText("a:\\BLUE.BMP");
    QCOMPARE(colourOf(window->picIcon), QColor(Qt::blue));
    window->txtIcon->setText("a:\\broken.ico");
    QCOMPARE(colourOf(window->picIcon), QColor(Qt::blue));
    QTest::keyClicks(window->txtIcon, "x");
    QCOMPARE(colourOf(window->picIcon), QColor(Qt::blue));
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
    window->Command3->click();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].nameFilters, QStringList{"Icons (*.ico)"});
    QCOMPARE(window->txtIcon->text(), QStringLiteral("a:\\sun.ico"));
    QCOMPARE(colourOf(window->picIcon), QColor(Qt::yellow));
    answer = std::nullopt; // Cancel empties the box
    window->Command3->click();
    QCOMPARE(window->txtIcon->text(), QString());
}

void TestDiskProperties::profileFillsNameAndIcon() {
    solid(Qt::magenta).save(m_prefix->driveC() + "/work.ico", "ICO");
    Profiles::writeAllProfiles(Profiles::kFixedProfilesPath,
                               {{"Home", ""}, {"Work", "c:\\work.ico"}});
    DiskProperties* window = open();
    window->Command6->click();
    QTRY_VERIFY(window->mnuProfiles->isVisible());
    window->mnuProfiles->close();
    window->mnuProfile[1]->trigger();
    QCOMPARE(window->txtName->text(), QStringLiteral("Work"));
    QCOMPARE(window->txtIcon->text(), QStringLiteral("c:\\work.ico"));
    QCOMPARE(colourOf(window->picIcon), QColor(Qt::magenta));
    // The file is read afresh: a profile saved meanwhile is what the entry delivers.
    Profiles::writeAllProfiles(Profiles::kFixedProfilesPath, {{"Home", ""}});
    window->mnuProfile[1]->trigger();
    QCOMPARE(window->txtName->text(), QString());
    QCOMPARE(window->txtIcon->text(), QString());
}

void TestDiskProperties::noProfilesOfferOneEmptyItem() {
    DiskProperties* window = open();
    QCOMPARE(window->mnuProfile.size(), 1);
    QCOMPARE(window->mnuProfile[0]->text(), QString());
    window->mnuProfile[0]->trigger();
    QCOMPARE(window->txtName->text(), QString());
    QCOMPARE(window->txtIcon->text(), QString());
}

void TestDiskProperties::deleteAsksFirst() {
    DiskProperties* window = open();
    window->Command5->click(); // nothing selected
    QVERIFY(m_boxes->boxes.isEmpty());
    window->lstActions->setCurrentRow(1);
    QCOMPARE(window->lstExec1->currentRow(), 1);
    m_boxes->answers = {7};
    window->Command5->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Are you sure that you want to delete this action?"});
    QCOMPARE(m_boxes->boxes[0].style, 20);
    QCOMPARE(window->lstActions->count(), 3);
    m_boxes->answers = {6};
    window->Command5->click();
    QCOMPARE(itemsOf(window->lstActions), (QStringList{"Copy file", "Delete file"}));
    QCOMPARE(itemsOf(window->lstMode), (QStringList{"1", "3"}));
    QCOMPARE(itemsOf(window->lstExec1), (QStringList{"a:\\src.txt", "c:\\junk\\*.tmp"}));
    QCOMPARE(itemsOf(window->lstExec2), (QStringList{"c:\\dst.txt", ""}));
    window->Command2->click();
    QVERIFY(!host::FormInstance<DiskProperties>::loaded() || !window->isVisible());
    const QByteArray bytes = settingsBytes();
    QCOMPARE(bytes.size(), 6 * 128 + 4); // ends with the second action's empty second path
}

void TestDiskProperties::okWithoutChangeRewritesTheSameBytes() {
    const QByteArray before = settingsBytes();
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "old icon");
    DiskProperties* window = open();
    window->Command2->click();
    QTRY_VERIFY(!host::FormInstance<DiskProperties>::loaded());
    QCOMPARE(settingsBytes(), before);
    QCOMPARE(m_prefix->readHostFile(a("VRTLIcon.sys")), QByteArray("old icon"));
    QCOMPARE(colourOf(m_mainIcon.get()), QColor(Qt::green));
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Backup"));
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(QDir(m_prefix->driveA()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"VRTLIcon.sys", "VRTLSettings.sys"}));
}

void TestDiskProperties::okWithANewIconShowsItInTheMainWindow() {
    solid(Qt::cyan).save(m_prefix->driveC() + "/new.ico", "ICO");
    DiskProperties* window = open();
    window->txtName->setText("Renamed");
    window->txtIcon->setText("c:\\new.ico");
    window->Command2->click();
    QVERIFY(m_boxes->boxes.isEmpty());
    QCOMPARE(m_prefix->readHostFile(a("VRTLIcon.sys")),
             m_prefix->readHostFile(m_prefix->driveC() + "/new.ico"));
    QCOMPARE(colourOf(m_mainIcon.get()), QColor(Qt::cyan));
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Renamed"));
}

void TestDiskProperties::okKeepsTheIconFilesProtection() {
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "old icon");
    host::setAttributes("a:\\VRTLIcon.sys", host::AttrReadOnly | host::AttrHidden);
    solid(Qt::cyan).save(m_prefix->driveC() + "/new.ico", "ICO");
    DiskProperties* window = open();
    window->txtIcon->setText("c:\\new.ico");
    window->Command2->click();
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
    QCOMPARE(itemsOf(window->lstActions), (QStringList{"Unknown action (9)", "Copy file"}));
    window->Command2->click();
    QCOMPARE(settingsBytes(), before);
}

void TestDiskProperties::iconThatCannotBeCopiedCostsOnlyTheIcon_data() {
    QTest::addColumn<QString>("icon");
    QTest::newRow("gone") << "c:\\no such icon.ico";
    QTest::newRow("a folder") << "c:\\windows";
    QTest::newRow("a missing drive") << "q:\\sun.ico";
}

void TestDiskProperties::iconThatCannotBeCopiedCostsOnlyTheIcon() {
    QFETCH(QString, icon);
    m_prefix->writeHostFile("data/vortle/drive_a/VRTLIcon.sys", "old icon");
    DiskProperties* window = open();
    window->txtName->setText("Changed");
    window->appendAction("0", "c:\\new", "");
    window->txtIcon->setText(icon);
    window->Command2->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Couldn't copy the icon to the disk."});
    QCOMPARE(m_boxes->boxes[0].style, 16);
    QCOMPARE(m_boxes->boxes[0].title, QStringLiteral("Vortle"));
    QTRY_VERIFY(!host::FormInstance<DiskProperties>::loaded());
    QCOMPARE(readRecord(DiskSettings::kSettingsPath, 1).toText(), QStringLiteral("Changed"));
    QCOMPARE(readRecord(DiskSettings::kSettingsPath, DiskSettings::kindRecord(3)).toText(),
             QStringLiteral("0"));
    QCOMPARE(m_prefix->readHostFile(a("VRTLIcon.sys")), QByteArray("old icon"));
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Changed"));
    QCOMPARE(colourOf(m_mainIcon.get()), QColor(Qt::green));
}

void TestDiskProperties::failedSaveKeepsEverything_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("read-only settings file") << "readonly";
    QTest::newRow("write-protected diskette") << "protected";
    QTest::newRow("full diskette") << "full";
    QTest::newRow("pulled diskette") << "pulled";
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
    window->txtName->setText("Changed");
    window->appendAction("0", "c:\\new", "");
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

    window->Command2->click();
    QCOMPARE(m_boxes->prompts(), QStringList{"Couldn't write on disk."});
    QCOMPARE(m_boxes->boxes[0].style, 16);
    QVERIFY(host::FormInstance<DiskProperties>::loaded());
    QVERIFY(window->isVisible());
    QCOMPARE(window->txtName->text(), QStringLiteral("Changed"));
    QCOMPARE(window->lstActions->count(), fault == "protected" || fault == "full" ? 2 : 4);
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Old name"));
    if (fault == "pulled")
        return;
    QCOMPARE(settingsBytes(), before);
    // No attributes were set: once the cause is gone the next save succeeds.
    if (fault == "readonly") {
        host::setAttributes("a:\\VRTLSettings.sys", host::AttrNormal);
        QVERIFY(!QFile::exists(a("VRTLIcon.sys")));
    }
    if (fault == "readonly") {
        m_boxes->boxes.clear();
        window->Command2->click();
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
        QTimer::singleShot(100, window, [&] { window->Command1->click(); });
        window->Command2->click(); // a second box, over the first
    });
    window->Command2->click();
    QVERIFY(overTheWindow);
    QTRY_VERIFY(!host::FormInstance<DiskProperties>::loaded());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestDiskProperties::cancelWritesNothing() {
    const QByteArray before = settingsBytes();
    DiskProperties* window = open();
    window->txtName->setText("Other");
    window->lstActions->setCurrentRow(0);
    m_boxes->answers = {6};
    window->Command5->click();
    window->Command1->click();
    QTRY_VERIFY(!host::FormInstance<DiskProperties>::loaded());
    QCOMPARE(settingsBytes(), before);
    QCOMPARE(m_mainIcon->toolTip(), QStringLiteral("Old name"));
}

void TestDiskProperties::textBoxesHoldAtMost124Characters() {
    DiskProperties* window = open();
    QTest::keyClicks(window->txtName, QString(130, 'n'));
    QCOMPARE(window->txtName->text().size(), 124);
    window->Command2->click();
    QVERIFY(m_boxes->boxes.isEmpty());
    window = open();
    window->Command4->click();
    QCOMPARE(editor()->txtExec1->maxLength(), 124);
    QCOMPARE(editor()->txtExec2->maxLength(), 124);
}

void TestDiskProperties::addCopyFile() {
    DiskProperties* window = open();
    window->Command4->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->lblMode->text(), QStringLiteral("Add"));
    AddAction* wizard = editor();
    QVERIFY(wizard && wizard->isVisible());
    QCOMPARE(wizard->windowModality(), Qt::ApplicationModal);
    QCOMPARE(wizard->windowTitle(), QStringLiteral("Add an action"));
    QCOMPARE(wizard->lstActions->currentRow(), -1);
    QCOMPARE(itemsOf(wizard->lstActions), (QStringList{"Create directory", "Copy file", "Move file",
                                                       "Delete file", "Execute file"}));
    QVERIFY(!wizard->picFillOut->isVisible());
    wizard->lstActions->setCurrentRow(1);
    wizard->Command1->click();
    QVERIFY(wizard->picFillOut->isVisible());
    QVERIFY(!wizard->Command1->isEnabled());
    QCOMPARE(wizard->Command2->text(), QStringLiteral("Close"));
    QCOMPARE(wizard->lblAction->text(),
             QStringLiteral(
                 "Please fill out the text-boxes below to enter the nessecary informations."));
    QCOMPARE(wizard->lblExec1->text(), QStringLiteral("Source file"));
    QCOMPARE(wizard->lblExec2->text(), QStringLiteral("Destination file"));
    QVERIFY(wizard->txtExec2->isVisible());
    QTest::keyClicks(wizard->txtExec1, "a:\\letter.doc");
    QTest::keyClicks(wizard->txtExec2, "c:\\letters\\letter.doc");
    wizard->Command2->click();
    QTRY_VERIFY(!editor());
    QVERIFY(window->isVisible());
    QCOMPARE(itemsOf(window->lstActions).last(), QStringLiteral("Copy file"));
    QCOMPARE(itemsOf(window->lstMode).last(), QStringLiteral("1"));
    QCOMPARE(itemsOf(window->lstExec1).last(), QStringLiteral("a:\\letter.doc"));
    QCOMPARE(itemsOf(window->lstExec2).last(), QStringLiteral("c:\\letters\\letter.doc"));
    QCOMPARE(window->lstMode->count(), 4);
}

void TestDiskProperties::addDeleteFileStoresNoSecondPath() {
    DiskProperties* window = open();
    window->Command4->click();
    editor()->lstActions->setCurrentRow(3);
    editor()->Command1->click();
    QCOMPARE(editor()->lblExec1->text(), QStringLiteral("File to be deleted"));
    QVERIFY(!editor()->txtExec2->isVisible());
    QVERIFY(!editor()->lblExec2->isVisible());
    editor()->Command2->click(); // "Close" with empty boxes commits empty paths
    QTRY_VERIFY(!editor());
    QCOMPARE(itemsOf(window->lstMode).last(), QStringLiteral("3"));
    QCOMPARE(itemsOf(window->lstExec1).last(), QString());
    QCOMPARE(itemsOf(window->lstExec2).last(), QString());
    window->Command2->click();
    QCOMPARE(settingsBytes().size(), 12 * 128 + 4);
}

void TestDiskProperties::editCopyIntoExecute() {
    DiskProperties* window = open();
    window->lstActions->setCurrentRow(0);
    window->Command7->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->lblMode->text(), QStringLiteral("Edit"));
    AddAction* wizard = editor();
    QCOMPARE(wizard->windowModality(), Qt::NonModal);
    QCOMPARE(wizard->lstActions->currentRow(), 1);
    QCOMPARE(wizard->txtExec1->text(), QStringLiteral("a:\\src.txt"));
    QCOMPARE(wizard->txtExec2->text(), QStringLiteral("c:\\dst.txt"));
    wizard->lstActions->setCurrentRow(4);
    wizard->Command1->click();
    QCOMPARE(wizard->lblExec1->text(), QStringLiteral("File to be executed"));
    wizard->txtExec1->setText("c:\\tools\\backup.sh");
    wizard->Command2->click();
    QTRY_VERIFY(!editor());
    QCOMPARE(itemsOf(window->lstActions),
             (QStringList{"Execute file", "Create directory", "Delete file"}));
    QCOMPARE(itemsOf(window->lstMode), (QStringList{"4", "0", "3"}));
    QCOMPARE(itemsOf(window->lstExec1).first(), QStringLiteral("c:\\tools\\backup.sh"));
    QCOMPARE(itemsOf(window->lstExec2).first(), QStringLiteral("c:\\dst.txt")); // kept

    // "Add an action" while an "Edit action" editor is open starts a fresh editor.
    window->lstActions->setCurrentRow(0);
    window->Command7->click();
    QPointer<AddAction> stale = editor();
    window->show();
    window->Command4->click();
    QVERIFY(!stale);
    QVERIFY(!window->isVisible());
    QCOMPARE(editor()->lstActions->currentRow(), -1);
    QCOMPARE(editor()->txtExec2->text(), QString());
    QCOMPARE(itemsOf(window->lstExec2).first(), QStringLiteral("c:\\dst.txt"));
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
    window->txtName->setText("Typed");
    window->Command4->click();
    editor()->lstActions->setCurrentRow(0);
    if (afterNext)
        editor()->Command1->click();
    if (byFrame)
        editor()->close();
    else
        editor()->Command2->click();
    QTRY_VERIFY(!editor());
    QVERIFY(window->isVisible());
    QCOMPARE(window->lstActions->count(), 3); // nothing committed
    QCOMPARE(window->txtName->text(), QStringLiteral("Typed"));
}

void TestDiskProperties::nextWaitsForAKind() {
    writeDiskSettings("Odd", {{"9", "x", "y"}});
    DiskProperties* window = open();
    window->lstActions->setCurrentRow(0);
    window->Command7->click();
    QCOMPARE(editor()->lstActions->currentRow(), -1); // no kind of the list fits "9"
    editor()->Command1->click();
    QVERIFY(editor()->Command1->isEnabled());
    QVERIFY(!editor()->picFillOut->isVisible());
    QCOMPARE(editor()->Command2->text(), QStringLiteral("Cancel"));
}

void TestDiskProperties::editWithoutSelectionDoesNothing() {
    DiskProperties* window = open();
    window->Command7->click();
    QVERIFY(window->isVisible());
    QVERIFY(!editor());
}

QTEST_MAIN(TestDiskProperties)
#include "tst_diskproperties.moc"
