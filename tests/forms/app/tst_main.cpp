// SPDX-License-Identifier: MIT
#include "Ctl.h"
#include "DiskFixture.h"
#include "FormChecks.h"
#include "FormTestSupport.h"
#include "PrefixTest.h"
#include "RecordFixture.h"

#include "forms/app/ImageControl.h"
#include "forms/app/Info.h"
#include "forms/app/Main.h"
#include "forms/app/Notes.h"
#include "forms/disk/AddAction.h"
#include "forms/disk/DiskProperties.h"
#include "forms/prefs/Settings.h"
#include "resources/Pictures.h"

#include "host/gui/FormInstance.h"
#include "host/gui/MessageBox.h"
#include "host/gui/Translations.h"
#include "host/gui/Twips.h"
#include "host/gui/WindowPos.h"
#include "host/media/DriveA.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QWindow>

using namespace vortle;

using storage::TaggedValue;
namespace Rec = storage::ProgramSettingsRecord;

namespace {

// Clicks a picture with the mouse; it looks pressed while the button is held.
void clickShowingThePressedLook(ImageControl* picture) {
    const QPoint rest = picture->pos();
    QTest::mousePress(picture, Qt::LeftButton);
    QCOMPARE(picture->pos(), rest + QPoint(1, 1));
    QTest::mouseRelease(picture, Qt::LeftButton);
    QCOMPARE(picture->pos(), rest);
}

} // namespace

// Stands in for the desktop's viewer of local files.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class TestMain : public PrefixTest {
    Q_OBJECT
private slots:
    void initTestCase() { host::loadTranslations(); }
    void init();
    void cleanup();

    void firstStartOnAnEmptyPrefix();
    void controlsAtTheirPlaces();
    void picturesHaveTheirSizes_data();
    void picturesHaveTheirSizes();
    void menusHoldTheirItems();
    void otherStuffPopsUpWithExitInBold();
    void pressedLookFollowsTheButtons();
    void exitWritesThePositionAsFloats();
    void closeBoxWritesThePosition();
    void minimisedWritesNothing();
    void nextStartRestoresThePosition();
    void coordinatesThatSpellNoNumberCountAsZero();
    void positionOffEveryScreenIsPulledBack();
    void hugeOrGarbageSettingsFile();
    void positionOnScreenIsKept();
    void windowsStandBesideThePanel_data();
    void windowsStandBesideThePanel();
    void alwaysOnTopFlag_data();
    void alwaysOnTopFlag();
    void infoOpensOnce();
    void autoLoadRefreshesAtStart();
    void autoLoadWithoutDisketteAsksBeforeTheWindowShows();
    void diskIconRefreshesTheDisplay_data();
    void diskIconRefreshesTheDisplay();
    void executeLinkRefreshesThenRunsTheList();
    void executeLinkWithoutDiskette();
    void diskPropertiesOpensOnceAfterARefresh();
    void coolStuffPopsUpWithoutDefault();
    void notesOpenOnce();
    void everyWindowAndImageHasAnAccessibleName();
    void preferencesOpenOnceAndMoveTheWindowOnTop();
    void picturesAnswerTheKeyboard();
    void dialogsAnswerEnterAndEscape();
    void driveAFollowsTheStick();

private:
    Main* loadMain() { return host::FormInstance<Main>::show(); }
    std::unique_ptr<EndProgramRecorder> m_end;
};

void TestMain::init() {
    PrefixTest::init();
    // Not a first start, which would show the diskette at once (firstStartOnAnEmptyPrefix).
    m_prefix->writeHostFile("data/vortle/drive_c/windows/system/VRTLSettings.dll", "");
    m_end = std::make_unique<EndProgramRecorder>();
}

void TestMain::cleanup() {
    delete host::FormInstance<Info>::loaded();
    delete host::FormInstance<Settings>::loaded();
    delete host::FormInstance<Main>::loaded();
    m_end.reset();
    PrefixTest::cleanup();
}

void TestMain::firstStartOnAnEmptyPrefix() {
    const QString settings = m_prefix->driveC() + "/windows/system/VRTLSettings.dll";
    QFile::remove(settings);
    Main* main = loadMain();
    QVERIFY(QFile::exists(settings));
    QCOMPARE(QFile(settings).size(), 0);
    QCOMPARE(main->frameGeometry().topLeft(), QPoint(0, 0));
    QVERIFY(!host::isTopmost(main));
    QCOMPARE(main->windowTitle(), QStringLiteral("vrtl"));
    QCOMPARE(main->size(), QSize(host::twipsToPixelsX(1575), host::twipsToPixelsY(3660)));
    QCOMPARE(main->minimumSize(), main->maximumSize());
    const Qt::WindowFlags flags = main->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!main->windowIcon().isNull());
    // The diskette in the drive is shown at once: this empty one has no name and no icon.
    QCOMPARE(ctl<ImageControl>(main, "picIcon")->toolTip(), QString());
    QCOMPARE(ctl<ImageControl>(main, "picIcon")->pixmap().toImage(),
             ctl<QLabel>(main, "picNoDisk")->pixmap().toImage());
    QVERIFY(ctl<QLabel>(main, "picNoDisk")->isHidden());
    QVERIFY(m_boxes->boxes.isEmpty());
    QVERIFY(m_end->exitCodes.isEmpty());
    // Drive A: is not touched.
    QVERIFY(QDir(m_prefix->driveA()).isEmpty());
}

void TestMain::controlsAtTheirPlaces() {
    Main* main = loadMain();
    const QList<ControlPlace> table = {
        {"picNoDisk", {960, 240, 495, 495}, "", ""},
        {"Picture1", {0, 1035, 735, 2715}, "", ""},
        {"picIcon", {960, 840, 480, 480}, "", "Load Disk-Settings"},
        {"Label1", {0, 0, 735, 1815}, "", ""},
        {"Image5", {1080, 3240, 240, 240}, "", "Other Stuff"},
        {"Image4", {1080, 2880, 240, 240}, "", "Preferences"},
        {"Image3", {1080, 2280, 240, 240}, "", "Cool Stuff"},
        {"Image2", {1080, 1920, 240, 240}, "", "Execute Link"},
        {"Image1", {1080, 1560, 240, 240}, "", "Disk Properties"},
    };
    const QStringList faults = layoutFaults(main, table);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    for (const ControlPlace& place : table)
        if (!place.tip->isEmpty())
            QVERIFY(!main->findChild<QWidget*>(place.name)->accessibleName().isEmpty());
    // Picture boxes lie above the labels and images they overlap.
    QVERIFY(main->children().indexOf(ctl<QLabel>(main, "Picture1")) >
            main->children().indexOf(ctl<QLabel>(main, "Label1")));
}

void TestMain::picturesHaveTheirSizes_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("depth");
    QTest::newRow("banner") << "banner.bmp" << QSize(50, 175) << 8;
    QTest::newRow("splash") << "splash.bmp" << QSize(266, 173) << 8;
    QTest::newRow("info strip") << "infostrip.bmp" << QSize(50, 136) << 24;
    QTest::newRow("no disk") << "nodisk.ico" << QSize(32, 32) << 32;
    QTest::newRow("sphere") << "sphere.ico" << QSize(32, 32) << 32;
    for (int i = 1; i <= 5; ++i)
        QTest::addRow("image%d", i) << QStringLiteral("image%1.png").arg(i) << QSize(16, 16) << 32;
}

void TestMain::picturesHaveTheirSizes() {
    QFETCH(QString, picture);
    QFETCH(QSize, size);
    QFETCH(int, depth);
    QImageReader reader(":/pictures/" + picture);
    const QImage image = reader.read();
    QCOMPARE(image.size(), size);
    if (depth == 8)
        QCOMPARE(image.format(), QImage::Format_Indexed8);
    if (depth == 24)
        QVERIFY(!image.hasAlphaChannel());
    // The window icon holds the diskette in its sizes, one for screens of twice the density.
    const QIcon icon = Pictures::icon("diskette.ico");
    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32), QSize(64, 64)}));
    // A window icon drawn once more at twice the size (an @2x file) has both.
    QCOMPARE(Pictures::icon("settings.png").availableSizes().size(), 2);
}

void TestMain::menusHoldTheirItems() {
    Main* main = loadMain();
    auto captions = [](QMenu* menu) {
        QStringList list;
        for (QAction* action : menu->actions())
            list << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return list;
    };
    QCOMPARE(captions(ctl<QMenu>(main, "mnuWindows")),
             (QStringList{"Clear Dust-Bin", "Clear Recent Docs", "Clear Clipboard", "-", "Info",
                          "Minimize window", "Exit Vortle"}));
    QCOMPARE(captions(ctl<QMenu>(main, "mnuCoolStuff")),
             (QStringList{"Open in Explorer", "Notes", "-", "Add files to auto-archive",
                          "Open auto-archive", "Delete files in auto-archive"}));
    QVERIFY(!ctl<QMenu>(main, "mnuWindows")->isVisible());
    QVERIFY(!ctl<QMenu>(main, "mnuCoolStuff")->isVisible());
    // Items whose commands come later do nothing yet.
    ctl<QAction>(main, "mnuClearDustBin")->trigger();
    ctl<QAction>(main, "mnuAddToArch")->trigger();
    QVERIFY(m_boxes->boxes.isEmpty());
    QVERIFY(m_end->exitCodes.isEmpty());
}

void TestMain::otherStuffPopsUpWithExitInBold() {
    Main* main = loadMain();
    QTest::mouseClick(ctl<ImageControl>(main, "Image5"), Qt::LeftButton);
    QTRY_VERIFY(ctl<QMenu>(main, "mnuWindows")->isVisible());
    QCOMPARE(ctl<QMenu>(main, "mnuWindows")->defaultAction(), ctl<QAction>(main, "mnuExit"));
    QCOMPARE(ctl<QMenu>(main, "mnuCoolStuff")->defaultAction(), nullptr);
    ctl<QMenu>(main, "mnuWindows")->close();
}

void TestMain::pressedLookFollowsTheButtons() {
    Main* main = loadMain();
    const QPoint rest = ctl<ImageControl>(main, "Image5")->pos();
    QTest::mousePress(ctl<ImageControl>(main, "Image5"), Qt::RightButton);
    QCOMPARE(ctl<ImageControl>(main, "Image5")->pos(), rest + QPoint(1, 1));
    QTest::mouseRelease(ctl<ImageControl>(main, "Image5"), Qt::RightButton);
    QCOMPARE(ctl<ImageControl>(main, "Image5")->pos(), rest);
    QVERIFY(!ctl<QMenu>(main, "mnuWindows")->isVisible()); // the right button does not click

    // Pressed, moved off and released there: back in place, and no click.
    QTest::mousePress(ctl<ImageControl>(main, "Image5"), Qt::LeftButton);
    QCOMPARE(ctl<ImageControl>(main, "Image5")->pos(), rest + QPoint(1, 1));
    QTest::mouseRelease(ctl<ImageControl>(main, "Image5"), Qt::LeftButton, {}, QPoint(-40, -40));
    QCOMPARE(ctl<ImageControl>(main, "Image5")->pos(), rest);
    QVERIFY(!ctl<QMenu>(main, "mnuWindows")->isVisible());

    // A double-click presses twice but ends where it started (QTest leaves out the last
    // release that a real mouse sends).
    QTest::mouseDClick(ctl<ImageControl>(main, "Image5"), Qt::LeftButton);
    QTest::mouseRelease(ctl<ImageControl>(main, "Image5"), Qt::LeftButton);
    QCOMPARE(ctl<ImageControl>(main, "Image5")->pos(), rest);
    ctl<QMenu>(main, "mnuWindows")->close();

    // The window system may send the second press as a double-click alone: it shows the
    // pressed look, and its release neither shifts the picture for good nor clicks again.
    QSignalSpy clicks(ctl<ImageControl>(main, "picIcon"), &ImageControl::Click);
    for (int round = 0; round < 2; ++round) {
        const QPoint iconRest = ctl<ImageControl>(main, "picIcon")->pos();
        QTest::mouseClick(ctl<ImageControl>(main, "picIcon"), Qt::LeftButton);
        QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5),
                           Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ctl<ImageControl>(main, "picIcon"), &second);
        QCOMPARE(ctl<ImageControl>(main, "picIcon")->pos(), iconRest + QPoint(1, 1));
        QTest::mouseRelease(ctl<ImageControl>(main, "picIcon"), Qt::LeftButton);
        QCOMPARE(ctl<ImageControl>(main, "picIcon")->pos(), iconRest);
    }
    QCOMPARE(clicks.count(), 2);
    QTest::mouseRelease(ctl<ImageControl>(main, "picIcon"),
                        Qt::LeftButton); // no press before it: no shift
    QCOMPARE(ctl<ImageControl>(main, "picIcon")->pos(),
             QPoint(host::twipsToPixelsX(960), host::twipsToPixelsY(840)));
}

void TestMain::exitWritesThePositionAsFloats() {
    Main* main = loadMain();
    QTest::qWait(600); // moves while the window system places the panel are not the user's
    main->move(45, 30);
    ctl<QAction>(main, "mnuExit")->trigger();
    QVERIFY(main->isHidden());
    QCOMPARE(m_end->exitCodes, QList<int>{0});
    const float top = float(host::pixelsToTwipsY(main->frameGeometry().y()));
    const float left = float(host::pixelsToTwipsX(main->frameGeometry().x()));
    QCOMPARE(readProgramSetting(Rec::Top), TaggedValue::single(top));
    QCOMPARE(readProgramSetting(Rec::Left), TaggedValue::single(left));
    QCOMPARE(readProgramSetting(Rec::AutoLoad).isEmpty(), true);
    const QByteArray bytes =
        m_prefix->readHostFile(m_prefix->driveC() + "/windows/system/VRTLSettings.dll");
    QCOMPARE(bytes.size(), 128 + 6);
    QCOMPARE(bytes.left(2), QByteArray::fromHex("0400"));
    QCOMPARE(bytes.mid(128, 2), QByteArray::fromHex("0400"));
}

void TestMain::closeBoxWritesThePosition() {
    Main* main = loadMain();
    QTest::qWait(600);
    main->move(60, 75);
    const QPoint where = main->frameGeometry().topLeft();
    main->close();
    QCOMPARE(m_end->exitCodes, QList<int>{0});
    QCOMPARE(readProgramSetting(Rec::Top).toSingle(), float(host::pixelsToTwipsY(where.y())));
    QCOMPARE(readProgramSetting(Rec::Left).toSingle(), float(host::pixelsToTwipsX(where.x())));
}

void TestMain::minimisedWritesNothing() {
    writeProgramSettings(
        {{Rec::Top, TaggedValue::single(300)}, {Rec::Left, TaggedValue::single(450)}});
    const QByteArray before =
        m_prefix->readHostFile(m_prefix->driveC() + "/windows/system/VRTLSettings.dll");
    Main* main = loadMain();
    main->move(100, 100);
    ctl<QAction>(main, "mnuMinimize")->trigger();
    QVERIFY(main->isMinimized());
    ctl<QAction>(main, "mnuExit")->trigger();
    QCOMPARE(m_end->exitCodes, QList<int>{0});
    QCOMPARE(m_prefix->readHostFile(m_prefix->driveC() + "/windows/system/VRTLSettings.dll"),
             before);
}

void TestMain::nextStartRestoresThePosition() {
    const double tx = host::twipsPerPixelX(), ty = host::twipsPerPixelY();
    writeProgramSettings({{Rec::Top, TaggedValue::single(float(100 * ty))},
                          {Rec::Left, TaggedValue::single(float(200 * tx))}});
    Main* main = loadMain();
    QCOMPARE(main->frameGeometry().topLeft(), QPoint(200, 100));
    ctl<QAction>(main, "mnuExit")->trigger();
    QCOMPARE(readProgramSetting(Rec::Top).toSingle(), float(100 * ty));
    QCOMPARE(readProgramSetting(Rec::Left).toSingle(), float(200 * tx));
}

void TestMain::coordinatesThatSpellNoNumberCountAsZero() {
    const double tx = host::twipsPerPixelX();
    writeProgramSettings({{Rec::Top, TaggedValue::string("top of screen")},
                          {Rec::Left, TaggedValue::string(QString::number(5 * tx))}});
    Main* main = loadMain();
    QCOMPARE(main->frameGeometry().topLeft(), QPoint(5, 0));
    QVERIFY(m_boxes->boxes.isEmpty());
    QVERIFY(m_end->exitCodes.isEmpty());
}

void TestMain::positionOffEveryScreenIsPulledBack() {
    writeProgramSettings(
        {{Rec::Top, TaggedValue::single(-90000)}, {Rec::Left, TaggedValue::single(400000)}});
    Main* main = loadMain();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(screen.contains(main->frameGeometry()));
    QCOMPARE(main->frameGeometry().top(), screen.top());
    QCOMPARE(main->frameGeometry().right(), screen.right());
}

void TestMain::hugeOrGarbageSettingsFile() {
    const QString path = m_prefix->driveC() + "/windows/system/VRTLSettings.dll";
    QByteArray garbage(4096, '\xC3');
    garbage.replace(0, 2, QByteArray("\x05\x00", 2)); // a double that is not a number
    m_prefix->writeHostFile("data/vortle/drive_c/windows/system/VRTLSettings.dll", garbage);
    QVERIFY(QFile::resize(path, qint64(4) << 30));
    Main* main = loadMain();
    QVERIFY(QGuiApplication::primaryScreen()->geometry().contains(main->frameGeometry()));
    ctl<QAction>(main, "mnuExit")->trigger();
    QCOMPARE(m_end->exitCodes, QList<int>{0});
    QCOMPARE(QFileInfo(path).size(), qint64(4) << 30); // written in place, not rewritten whole
    QCOMPARE(readProgramSetting(Rec::Left).kind(), TaggedValue::Kind::Single);
}

void TestMain::positionOnScreenIsKept() {
    // Partly off the screen, but still on it: kept to the pixel.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint partly(screen.right() - 20, screen.bottom() - 30);
    writeProgramSettings(
        {{Rec::Top, TaggedValue::single(float(host::pixelsToTwipsY(partly.y())))},
         {Rec::Left, TaggedValue::single(float(host::pixelsToTwipsX(partly.x())))}});
    Main* main = loadMain();
    QCOMPARE(main->frameGeometry().topLeft(), partly);
}

void TestMain::windowsStandBesideThePanel_data() {
    QTest::addColumn<QRect>("panel");
    QTest::addColumn<QPoint>("place");
    const QRect panel(0, 0, 105, 264);
    QTest::newRow("screen's corner: to its right") << panel << QPoint(105, 0);
    QTest::newRow("screen's right edge: to its left")
        << panel.translated(919, 300) << QPoint(534, 261);
    QTest::newRow("no room beside it: centred, on the screen")
        << QRect(0, 0, 700, 700) << QPoint(157, 179);
}

void TestMain::windowsStandBesideThePanel() {
    QFETCH(QRect, panel);
    QFETCH(QPoint, place);
    QCOMPARE(host::placeOverOwner(QSize(385, 341), panel, QRect(0, 0, 1024, 768)), place);
    // Disk Properties, loaded and then shown from a panel at the screen's corner, leaves it in
    // sight.
    Main* main = loadMain();
    host::placeFrame(main, {0, 0});
    main->show();
    host::FormInstance<DiskProperties>::load(main);
    auto* window = host::FormInstance<DiskProperties>::show(main);
    QVERIFY(!window->frameGeometry().intersects(main->frameGeometry()));
    delete window;
}

void TestMain::alwaysOnTopFlag_data() {
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<bool>("topmost");
    QTest::newRow("integer 1") << TaggedValue::integer(1) << true;
    QTest::newRow("string 1") << TaggedValue::string("1") << true;
    QTest::newRow("integer 0") << TaggedValue::integer(0) << false;
    QTest::newRow("never written") << TaggedValue() << false;
    QTest::newRow("string yes") << TaggedValue::string("yes") << false;
}

void TestMain::alwaysOnTopFlag() {
    QFETCH(TaggedValue, value);
    QFETCH(bool, topmost);
    const double tx = host::twipsPerPixelX(), ty = host::twipsPerPixelY();
    writeProgramSettings({{Rec::Top, TaggedValue::single(float(40 * ty))},
                          {Rec::Left, TaggedValue::single(float(30 * tx))},
                          {Rec::AlwaysOnTop, value}});
    Main* main = host::FormInstance<Main>::load();
    // Topmost: already visible when the load ends; otherwise only once it is shown.
    QCOMPARE(main->isVisible(), topmost);
    QCOMPARE(host::isTopmost(main), topmost);
    main->show();
    QCOMPARE(main->frameGeometry().topLeft(), QPoint(30, 40));
    QCOMPARE(main->size(), QSize(host::twipsToPixelsX(1575), host::twipsToPixelsY(3660)));
}

void TestMain::infoOpensOnce() {
    Main* main = loadMain();
    ctl<QAction>(main, "mnuInfo")->trigger();
    ctl<QAction>(main, "mnuInfo")->trigger();
    QCOMPARE(countWindows<Info>(), 1);
    Info* info = host::FormInstance<Info>::loaded();
    QVERIFY(info->isVisible());
    QCOMPARE(info->windowTitle(), QStringLiteral("Info"));
    QCOMPARE(info->size(), QSize(host::twipsToPixelsX(4335), host::twipsToPixelsY(3990)));
    QCOMPARE(ctl<QLabel>(info, "Label2")->text(), QStringLiteral("Vortle"));
    QVERIFY(ctl<QLabel>(info, "Label2")->font().bold());
    QCOMPARE(ctl<QLabel>(info, "Label6")->text(), QStringLiteral("Version: 2.0"));
    QCOMPARE(ctl<QLabel>(info, "Image1")->parentWidget(), ctl<QLabel>(info, "Picture1"));
    QCOMPARE(ctl<QLabel>(info, "Picture1")->geometry(),
             QRect(host::twipsToPixelsX(120), host::twipsToPixelsY(1800), host::twipsToPixelsX(735),
                   host::twipsToPixelsY(2055)));
    // The read-me opens in the desktop's viewer.
    UrlRecorder viewer;
    QDesktopServices::setUrlHandler("file", &viewer, "open");
    ctl<QPushButton>(info, "cmdReadMe")->click();
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(viewer.opened.size(), 1);
    QCOMPARE(QFileInfo(viewer.opened[0].toLocalFile()).fileName(), QStringLiteral("ReadMe.txt"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(info->frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(info->frameGeometry().center().y() - screen.center().y()) <= 1);
    QVERIFY(!info->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    // Closed by its close box it unloads; "Info" then loads it again.
    info->close();
    QTRY_VERIFY(!host::FormInstance<Info>::loaded());
    ctl<QAction>(main, "mnuInfo")->trigger();
    QCOMPARE(countWindows<Info>(), 1);
    // "Exit Vortle" ends the program with the Info window open.
    ctl<QAction>(main, "mnuExit")->trigger();
    QCOMPARE(m_end->exitCodes, QList<int>{0});
}

void TestMain::autoLoadRefreshesAtStart() {
    writeDiskSettings("Photos", {});
    writeProgramSettings({{Rec::AutoLoad, TaggedValue::integer(1)}});
    Main* main = loadMain();
    QCOMPARE(ctl<ImageControl>(main, "picIcon")->toolTip(), QStringLiteral("Photos"));
}

void TestMain::autoLoadWithoutDisketteAsksBeforeTheWindowShows() {
    m_prefix->pointDrive('a', m_prefix->root() + "/no-stick");
    writeProgramSettings(
        {{Rec::AutoLoad, TaggedValue::string("1")}, {Rec::AlwaysOnTop, TaggedValue::integer(0)}});
    bool visibleAtMessage = true;
    host::setMessageBoxHook([&](const host::MessageBoxRequest& request) {
        m_boxes->boxes.append({request.prompt, request.style, request.title});
        visibleAtMessage = host::FormInstance<Main>::loaded()->isVisible();
        return 1;
    });
    Main* main = loadMain();
    QCOMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(m_boxes->boxes[0].prompt, QStringLiteral("Keine Diskette in Laufwerk A:"));
    QVERIFY(!visibleAtMessage);
    QCOMPARE(ctl<ImageControl>(main, "picIcon")->toolTip(), QStringLiteral("Reload Disk-Settings"));
}

void TestMain::diskIconRefreshesTheDisplay_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown"); // between the isolates
    // The name is shown as the characters it holds: never read as markup, never turning the
    // text round (isolated) or adding a line or column.
    QTest::newRow("markup") << "Letters <b>x</b> <img src=\"/dev/null\">"
                            << "Letters &lt;b&gt;x&lt;/b&gt; &lt;img src=\"/dev/null\"&gt;";
    QTest::newRow("tab") << "Name\tCtrl+Q"
                         << "Name\u2409Ctrl+Q";
    QTest::newRow("line feed") << "two\nlines"
                               << "two\u240Alines";
}

void TestMain::diskIconRefreshesTheDisplay() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    Main* main = loadMain();
    writeDiskSettings(name, {});
    auto* picIcon = ctl<ImageControl>(main, "picIcon");
    clickShowingThePressedLook(picIcon);
    QCOMPARE(picIcon->toolTip(), name);
    QHelpEvent hover(QEvent::ToolTip, QPoint(4, 4), picIcon->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(picIcon, &hover);
    QVERIFY2(QToolTip::text().contains(QChar(0x2068) + shown + QChar(0x2069)),
             qPrintable(QToolTip::text()));
}

void TestMain::executeLinkRefreshesThenRunsTheList() {
    Main* main = loadMain();
    writeDiskSettings("Linked", {{"0", "c:\\Made by Link", ""}});
    clickShowingThePressedLook(ctl<ImageControl>(main, "Image2"));
    QCOMPARE(ctl<ImageControl>(main, "picIcon")->toolTip(), QStringLiteral("Linked"));
    QVERIFY(QFileInfo(m_prefix->driveC() + "/Made by Link").isDir());
    QVERIFY(m_boxes->boxes.isEmpty());
}

void TestMain::executeLinkWithoutDiskette() {
    Main* main = loadMain();
    m_prefix->pointDrive('a', m_prefix->root() + "/no-stick");
    QTest::mouseClick(ctl<ImageControl>(main, "Image2"), Qt::LeftButton);
    QCOMPARE(m_boxes->prompts(),
             (QStringList{"Keine Diskette in Laufwerk A:", "Keine Diskette in Laufwerk A:",
                          "There's no disk in the drive."}));
    QCOMPARE(ctl<ImageControl>(main, "picIcon")->toolTip(), QStringLiteral("Reload Disk-Settings"));
}

void TestMain::diskPropertiesOpensOnceAfterARefresh() {
    Main* main = loadMain();
    writeDiskSettings("Archive", {{"0", "c:\\x", ""}});
    clickShowingThePressedLook(ctl<ImageControl>(main, "Image1"));
    QCOMPARE(ctl<ImageControl>(main, "picIcon")->toolTip(), QStringLiteral("Archive"));
    DiskProperties* window = host::FormInstance<DiskProperties>::loaded();
    QVERIFY(window && window->isVisible());
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QStringLiteral("Archive"));
    ctl<QLineEdit>(window, "txtName")->setText("Edited");
    QTest::mouseClick(ctl<ImageControl>(main, "Image1"), Qt::LeftButton);
    QCOMPARE(countWindows<DiskProperties>(), 1);
    QCOMPARE(ctl<QLineEdit>(window, "txtName")->text(), QStringLiteral("Edited"));
    delete window;
}

void TestMain::coolStuffPopsUpWithoutDefault() {
    Main* main = loadMain();
    clickShowingThePressedLook(ctl<ImageControl>(main, "Image3"));
    QTRY_VERIFY(ctl<QMenu>(main, "mnuCoolStuff")->isVisible());
    QCOMPARE(ctl<QMenu>(main, "mnuCoolStuff")->defaultAction(), nullptr);
    ctl<QMenu>(main, "mnuCoolStuff")->close();
}

void TestMain::notesOpenOnce() {
    Main* main = loadMain();
    ctl<QAction>(main, "mnuNotes")->trigger();
    ctl<QAction>(main, "mnuNotes")->trigger();
    QCOMPARE(countWindows<Notes>(), 1);
    QVERIFY(host::FormInstance<Notes>::loaded()->isVisible());
    delete host::FormInstance<Notes>::loaded();
}

void TestMain::everyWindowAndImageHasAnAccessibleName() {
    Main* main = loadMain();
    for (ImageControl* image :
         {ctl<ImageControl>(main, "Image1"), ctl<ImageControl>(main, "Image2"),
          ctl<ImageControl>(main, "Image3"), ctl<ImageControl>(main, "Image4"),
          ctl<ImageControl>(main, "Image5")})
        QCOMPARE(image->accessibleName(), image->toolTip());
    QVERIFY(!ctl<ImageControl>(main, "picIcon")->accessibleName().isEmpty());
    ctl<QAction>(main, "mnuInfo")->trigger();
    ctl<QAction>(main, "mnuNotes")->trigger();
    QTest::mouseClick(ctl<ImageControl>(main, "Image4"), Qt::LeftButton);
    QTest::mouseClick(ctl<ImageControl>(main, "Image1"), Qt::LeftButton);
    host::FormInstance<DiskProperties>::loaded()->Command4_Click();
    const QList<QWidget*> windows = {main,
                                     host::FormInstance<Info>::loaded(),
                                     host::FormInstance<Notes>::loaded(),
                                     host::FormInstance<Settings>::loaded(),
                                     host::FormInstance<DiskProperties>::loaded(),
                                     host::FormInstance<AddAction>::loaded()};
    for (QWidget* window : windows) {
        QVERIFY(window);
        QCOMPARE(window->accessibleName(), window->windowTitle());
    }
    delete host::FormInstance<AddAction>::loaded();
    delete host::FormInstance<DiskProperties>::loaded();
    delete host::FormInstance<Notes>::loaded();
}

void TestMain::preferencesOpenOnceAndMoveTheWindowOnTop() {
    Main* main = loadMain();
    main->move(70, 90);
    const QRect frame = main->frameGeometry();
    QTest::mouseClick(ctl<ImageControl>(main, "Image4"), Qt::LeftButton);
    Settings* settings = host::FormInstance<Settings>::loaded();
    QVERIFY(settings && settings->isVisible());
    QTest::mouseDClick(ctl<ImageControl>(main, "Image4"), Qt::LeftButton);
    QTest::mouseRelease(ctl<ImageControl>(main, "Image4"), Qt::LeftButton);
    QCOMPARE(countWindows<Settings>(), 1);
    QCOMPARE(ctl<ImageControl>(main, "Image4")->pos(),
             QPoint(host::twipsToPixelsX(1080), host::twipsToPixelsY(2880)));
    ctl<QCheckBox>(settings, "chkAlwaysOnTop")->setChecked(true);
    const WId id = main->winId();
    ctl<QPushButton>(settings, "Command2")->click();
    QVERIFY(host::isTopmost(main));
    QVERIFY(main->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(main->winId(), id); // the same native window, only in another band
    QVERIFY(main->isVisible());
    QCOMPARE(main->frameGeometry(), frame);
    QCOMPARE(readProgramSetting(Rec::AlwaysOnTop), TaggedValue::integer(1));
}

void TestMain::picturesAnswerTheKeyboard() {
    Main* main = loadMain();
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    auto* image3 = ctl<ImageControl>(main, "Image3");
    auto* image4 = ctl<ImageControl>(main, "Image4");
    auto* image5 = ctl<ImageControl>(main, "Image5");
    auto* menu = ctl<QMenu>(main, "mnuWindows");
    // The Tab cycle starts at the disk icon, which asks for no focus frame until keys are used
    // (as Windows hides keyboard cues), whether or not the style would draw one.
    struct FrameCounter : QProxyStyle {
        mutable int frames = 0;
        void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const override {
            frames += element == PE_FrameFocusRect;
            QProxyStyle::drawPrimitive(element, option, painter, widget);
        }
    } counter;
    auto* picIcon = ctl<ImageControl>(main, "picIcon");
    picIcon->setStyle(&counter);
    QCOMPARE(main->focusWidget(), picIcon);
    picIcon->grab();
    QCOMPARE(counter.frames, 0);
    QTest::keyClick(main->focusWidget(), Qt::Key_Tab);
    QCOMPARE(main->focusWidget(), ctl<ImageControl>(main, "Image1"));
    QTest::keyClick(main->focusWidget(), Qt::Key_Backtab);
    picIcon->grab();
    QVERIFY(picIcon->hasFocus() && counter.frames > 0);
    picIcon->setStyle(nullptr);
    // Tab reaches a picture; Space shows the pressed look while held; Enter clicks as well.
    const QPoint rest = image4->pos();
    image3->setFocus();
    QTest::keyClick(image3, Qt::Key_Tab);
    QCOMPARE(main->focusWidget(), image4);
    QTest::keyPress(image4, Qt::Key_Space);
    QCOMPARE(image4->pos(), rest + QPoint(1, 1));
    QTest::keyRelease(image4, Qt::Key_Space);
    QCOMPARE(image4->pos(), rest);
    QTRY_VERIFY(host::FormInstance<Settings>::loaded());
    delete host::FormInstance<Settings>::loaded();
    // Shift+F10 opens the focused picture's menu under it.
    image5->setFocus();
    QTest::keyClick(image5, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), image5->mapToGlobal(image5->rect().bottomLeft()));
    menu->close();
    // ... and the disk icon's the Drive A: menu.
    picIcon->setFocus();
    QTest::keyClick(picIcon, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->pos(),
             picIcon->mapToGlobal(picIcon->rect().bottomLeft()));
    // Its texts are the program's own: German under LANG=de_DE.UTF-8 (tst_main_de), where
    // every other test of this file finds the design's texts as they are.
    // Its choices are radio items; the folder that is the choice is named.
    QStringList texts;
    for (QAction* item : QApplication::activePopupWidget()->actions()) {
        texts << item->text();
        QCOMPARE(item->actionGroup() != nullptr, item->isCheckable());
    }
    const QString folder = "\u2068" + m_prefix->driveA() + "\u2069";
    const QStringList expected =
        QLocale().language() == QLocale::German
            ? QStringList{"Laufwerk A:", "Der eingesteckte Stick oder die eingelegte Diskette", "",
                          "Ordner: " + folder + " ...", "Disketten-Abbild ..."}
            : QStringList{"Drive A:", "The stick or diskette that is plugged in", "",
                          "Folder: " + folder + "...", "Diskette image..."};
    QCOMPARE(texts, expected);
    QApplication::activePopupWidget()->close();
    // A screen reader finds push buttons (a menu button for a menu) that it can press.
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(image4);
    QCOMPARE(button->role(), QAccessible::Button);
    QCOMPARE(QAccessible::queryAccessibleInterface(image5)->role(), QAccessible::ButtonMenu);
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(main);
    QCOMPARE(frame->role(), QAccessible::Window); // a frame to AT-SPI
    QCOMPARE(frame->text(QAccessible::Description), picIcon->toolTip());
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(host::FormInstance<Settings>::loaded());
}

void TestMain::dialogsAnswerEnterAndEscape() {
    // Escape is each window's Cancel or close; Enter its default button.
    Main* main = loadMain();
    main->mnuInfo_Click();
    QTest::keyClick(host::FormInstance<Info>::loaded(), Qt::Key_Escape);
    QTRY_VERIFY(!host::FormInstance<Info>::loaded());
    main->mnuNotes_Click();
    Notes* notes = host::FormInstance<Notes>::loaded();
    auto* text = ctl<QPlainTextEdit>(notes, "txtText");
    QTest::keyClicks(text, "two");
    QTest::keyClick(text, Qt::Key_Return); // a line break, not OK
    QTest::keyClicks(text, "lines");
    QVERIFY(host::FormInstance<Notes>::loaded());
    auto* cancel = ctl<QPushButton>(notes, "Command1");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return); // the focused button, not the default
    QTRY_VERIFY(!host::FormInstance<Notes>::loaded());
    QVERIFY(!QFile::exists(m_prefix->driveA() + "/VRTLNotes.sys"));

    // The action editor: Escape cancels first; after "Next >", Enter commits.
    main->Image1_Click();
    DiskProperties* properties = host::FormInstance<DiskProperties>::loaded();
    properties->Command4_Click();
    AddAction* editor = host::FormInstance<AddAction>::loaded();
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!host::FormInstance<AddAction>::loaded());
    properties->Command4_Click();
    editor = host::FormInstance<AddAction>::loaded();
    auto* kinds = ctl<QListWidget>(editor, "lstActions");
    auto* path = ctl<QLineEdit>(editor, "txtExec1");
    kinds->setCurrentRow(0);
    QTest::keyClick(kinds, Qt::Key_Return);
    QVERIFY(path->isVisible());
    QTest::keyClicks(path, "c:\\made");
    QTest::keyClick(path, Qt::Key_Return);
    QTRY_VERIFY(!host::FormInstance<AddAction>::loaded());
    QCOMPARE(ctl<QListWidget>(properties, "lstActions")->count(), 1);
    delete host::FormInstance<DiskProperties>::loaded();
}

void TestMain::driveAFollowsTheStick() {
    // Sticks mounted under a media root of the test's own; the display follows each within a
    // second, without a message, and the newest one is drive A:.
    const QString media = m_prefix->root() + "/media";
    qputenv("VORTLE_MEDIA_ROOTS", QFile::encodeName(media));
    host::DriveA::setMode(host::DriveA::Mode::Follow);
    Main* main = loadMain();
    QCOMPARE(host::DriveA::target(), QStringLiteral("../no-medium"));
    std::unique_ptr<TmpfsMount> sticks[2];
    const QString names[2] = {"One", "Two"};
    for (int i = 0; i < 2; ++i) {
        sticks[i] = std::make_unique<TmpfsMount>(media + "/" + names[i].toUpper(), false);
        if (!sticks[i]->isMounted())
            QSKIP("cannot mount a stick here");
        writeRecords("z:" + sticks[i]->path() + "/VRTLSettings.sys",
                     {{1, TaggedValue::string(names[i])}});
        QTRY_COMPARE_WITH_TIMEOUT(ctl<ImageControl>(main, "picIcon")->toolTip(), names[i], 1000);
    }
    sticks[1].reset(); // pulled: back to the one still there
    QTRY_COMPARE_WITH_TIMEOUT(ctl<ImageControl>(main, "picIcon")->toolTip(), names[0], 1000);
    sticks[0].reset();
    QTRY_COMPARE_WITH_TIMEOUT(ctl<ImageControl>(main, "picIcon")->toolTip(),
                              QStringLiteral("Reload Disk-Settings"), 1000);
    QCOMPARE(host::DriveA::target(), QStringLiteral("../no-medium"));
    QVERIFY(m_boxes->boxes.isEmpty());
    host::DriveA::setMode(host::DriveA::Mode::Fixed);
    qunsetenv("VORTLE_MEDIA_ROOTS");
}

QTEST_MAIN(TestMain)
#include "tst_main.moc"
