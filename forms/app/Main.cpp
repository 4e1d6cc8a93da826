// SPDX-License-Identifier: MIT
#include "Main.h"

#include "DriveMenu.h"
#include "ImageControl.h"
#include "Info.h"
#include "resources/Pictures.h"

#include "Notes.h"
#include "engine/DiskDisplay.h"
#include "forms/disk/DiskProperties.h"
#include "forms/prefs/Settings.h"
#include "host/core/FileSystem.h"
#include "host/core/RuntimeError.h"
#include "host/gui/Controls.h"
#include "host/gui/ErrorReport.h"
#include "host/gui/FormInstance.h"
#include "host/gui/FramePlace.h"
#include "host/gui/Twips.h"
#include "host/gui/WindowPos.h"
#include "host/media/DriveA.h"
#include "module1/ArchiveCommands.h"
#include "module1/CleanUpCommands.h"
#include "module1/Module1.h"
#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>

#include <cmath>

using namespace vortle;

using namespace storage;

namespace {

ImageControl* imageButton(QWidget* parent, const char* name, const QString& picture,
                          const QString& tip, double top) {
    auto* image = host::placeControl(new ImageControl(parent), name, 1080, top, 240, 240);
    image->setPixmap(Pictures::onBackground(Pictures::picture(picture),
                                            parent->palette().color(QPalette::Window)));
    image->setToolTip(tip);
    image->setAccessibleName(tip);
    return image;
}

// A saved coordinate: a record that spells no number (or none a float can hold) counts as 0,
// so that one bad value does not end the program at every start.
double coordinateFrom(const TaggedValue& value) {
    try {
        const float coordinate = value.toSingle();
        return std::isfinite(coordinate) ? coordinate : 0.0;
    } catch (const host::RuntimeError&) {
        return 0.0;
    }
}

QAction* menuItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QAction* menuSeparator(QMenu* menu, const char* name) {
    QAction* line = menu->addSeparator();
    line->setObjectName(QString::fromLatin1(name));
    return line;
}

// The panel is an application's main window to assistive technology (a frame to AT-SPI),
// not a pane inside one.
QAccessibleInterface* accessibleMain(const QString& className, QObject* object) {
    if (className == QLatin1String("Main") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

Main::Main(QWidget* parent) : QWidget(parent, host::formFlags(Qt::Window)) {
    static const bool accessible = (QAccessible::installFactory(accessibleMain), true);
    Q_UNUSED(accessible)
    host::setUpForm(this, QStringLiteral("vrtl"), 1575, 3660);
    setWindowIcon(Pictures::icon(QStringLiteral("diskette.ico")));
    m_place = new host::FramePlace(this);

    const QPixmap noDisk = Pictures::picture(QStringLiteral("nodisk.ico"));

    Label1 = host::placeControl(new QLabel(this), "Label1", 0, 0, 735, 1815);
    host::setBackground(Label1, Qt::white);

    Image1 = imageButton(this, "Image1", QStringLiteral("image1.png"),
                         QStringLiteral("Disk Properties"), 1560);
    Image2 = imageButton(this, "Image2", QStringLiteral("image2.png"),
                         QStringLiteral("Execute Link"), 1920);
    Image3 = imageButton(this, "Image3", QStringLiteral("image3.png"), QStringLiteral("Cool Stuff"),
                         2280);
    Image4 = imageButton(this, "Image4", QStringLiteral("image4.png"),
                         QStringLiteral("Preferences"), 2880);
    Image5 = imageButton(this, "Image5", QStringLiteral("image5.png"),
                         QStringLiteral("Other Stuff"), 3240);

    picIcon = host::placeControl(new ImageControl(this), "picIcon", 960, 840, 480, 480);
    picIcon->setPixmap(noDisk);
    picIcon->setToolTip(QStringLiteral("Load Disk-Settings"));
    picIcon->setAccessibleName(QStringLiteral("Disk icon"));

    // Picture boxes lie above labels and images.
    Picture1 = host::pictureBox(this, "Picture1", Pictures::picture(QStringLiteral("banner.bmp")),
                                0, 1035, 735, 2715);
    picNoDisk = host::pictureBox(this, "picNoDisk", noDisk, 960, 240, 495, 495);
    picNoDisk->hide();

    // Line1(0) and (1) under "Cool Stuff", Line1(3) and (2) under the disk icon.
    Line1 = host::etchedSeparator(this, 960, 1440, 2640, 2655);
    const QList<host::LineControl*> upper = host::etchedSeparator(this, 960, 1440, 1440, 1455);
    Line1 << upper[1] << upper[0];

    buildMenus();
    // The disk icon follows what Module1's procedures find on the diskette.
    m_display = new DiskDisplay(noDisk.toImage(), picIcon->toolTip(), this);
    connect(m_display, &DiskDisplay::changed, this, [this] {
        picIcon->setPixmap(QPixmap::fromImage(m_display->picture()));
        picIcon->setToolTip(m_display->toolTip());
        // A screen reader names the panel's frame by its title and tells what disk it shows.
        setAccessibleDescription(m_display->toolTip());
    });
    setAccessibleDescription(m_display->toolTip());
    Module1::setDiskDisplay(m_display);

    connect(Image1, &ImageControl::Click, this, &Main::Image1_Click);
    connect(Image2, &ImageControl::Click, this, &Main::Image2_Click);
    connect(Image3, &ImageControl::Click, this, &Main::Image3_Click);
    connect(Image4, &ImageControl::Click, this, &Main::Image4_Click);
    connect(Image5, &ImageControl::Click, this, &Main::Image5_Click);
    connect(picIcon, &ImageControl::Click, this, &Main::picIcon_Click);
    host::setTabOrder({picIcon, Image1, Image2, Image3, Image4, Image5});
    // A right click on the disk icon chooses what drive A: is.
    m_drive = new DriveMenu(this);
    connect(picIcon, &ImageControl::ContextMenu, m_drive, &DriveMenu::popup);
    // The two menu pictures open their menus on the menu key and Shift+F10, and the disk icon
    // the Drive A: menu, under the control.
    connect(Image3, &ImageControl::MenuKey, this, &Main::Image3_Click);
    connect(Image5, &ImageControl::MenuKey, this, &Main::Image5_Click);
    connect(picIcon, &ImageControl::MenuKey, m_drive,
            [this] { m_drive->popup(picIcon->popupPosition()); });
    Image3->setOpensMenu(true);
    Image5->setOpensMenu(true);
}

void Main::buildMenus() {
    // Both menus are hidden top-level menus without caption: they only ever pop up.
    mnuWindows = new QMenu(this);
    mnuWindows->setObjectName(QStringLiteral("mnuWindows"));
    mnuClearDustBin = menuItem(mnuWindows, "mnuClearDustBin", QStringLiteral("Clear Dust-Bin"));
    mnuClearRecentDocs =
        menuItem(mnuWindows, "mnuClearRecentDocs", QStringLiteral("Clear Recent Docs"));
    mnuClearClipBoard =
        menuItem(mnuWindows, "mnuClearClipBoard", QStringLiteral("Clear Clipboard"));
    mnuLine1 = menuSeparator(mnuWindows, "mnuLine1");
    mnuInfo = menuItem(mnuWindows, "mnuInfo", QStringLiteral("Info"));
    mnuMinimize = menuItem(mnuWindows, "mnuMinimize", QStringLiteral("Minimize window"));
    mnuExit = menuItem(mnuWindows, "mnuExit", QStringLiteral("Exit Vortle"));

    mnuCoolStuff = new QMenu(this);
    mnuCoolStuff->setObjectName(QStringLiteral("mnuCoolStuff"));
    mnuOpenInExplorer =
        menuItem(mnuCoolStuff, "mnuOpenInExplorer", QStringLiteral("Open in Explorer"));
    mnuNotes = menuItem(mnuCoolStuff, "mnuNotes", QStringLiteral("Notes"));
    mnuLine2 = menuSeparator(mnuCoolStuff, "mnuLine2");
    mnuAddToArch =
        menuItem(mnuCoolStuff, "mnuAddToArch", QStringLiteral("Add files to auto-archive"));
    mnuOpenAutoArch =
        menuItem(mnuCoolStuff, "mnuOpenAutoArch", QStringLiteral("Open auto-archive"));
    mnuDelInAutoArch =
        menuItem(mnuCoolStuff, "mnuDelInAutoArch", QStringLiteral("Delete files in auto-archive"));

    connect(mnuExit, &QAction::triggered, this, &Main::mnuExit_Click);
    connect(mnuMinimize, &QAction::triggered, this, &Main::mnuMinimize_Click);
    connect(mnuInfo, &QAction::triggered, this, &Main::mnuInfo_Click);
    connect(mnuNotes, &QAction::triggered, this, &Main::mnuNotes_Click);
    connect(mnuAddToArch, &QAction::triggered, this, &Main::mnuAddToArch_Click);
    connect(mnuOpenAutoArch, &QAction::triggered, this, &Main::mnuOpenAutoArch_Click);
    connect(mnuDelInAutoArch, &QAction::triggered, this, &Main::mnuDelInAutoArch_Click);
    connect(mnuClearDustBin, &QAction::triggered, this, &Main::mnuClearDustBin_Click);
    connect(mnuClearRecentDocs, &QAction::triggered, this, &Main::mnuClearRecentDocs_Click);
    connect(mnuClearClipBoard, &QAction::triggered, this, &Main::mnuClearClipBoard_Click);
    connect(mnuOpenInExplorer, &QAction::triggered, this, &Main::mnuOpenInExplorer_Click);
}

void Main::Form_Load() {
    winId(); // a loaded form has its window, and so its frame
    m_drive->start();
    namespace Rec = ProgramSettingsRecord;
    // A first start (no program settings file yet) shows the diskette in the drive at once, as
    // auto-load would, but writing nothing and asking nothing: a newcomer finds the sample
    // diskette, not the "no disk" picture.
    bool firstStart = false;
    host::resumeNext([&] { firstStart = !host::ownEntryExists(ProgramSettingsPath()); });
    const auto [top, left, autoLoad, onTop] =
        readProgramSettings({Rec::Top, Rec::Left, Rec::AutoLoad, Rec::AlwaysOnTop});

    QPoint position(host::twipsToPixelsX(coordinateFrom(left)),
                    host::twipsToPixelsY(coordinateFrom(top)));
    // A position wholly off every screen (the resolution changed) comes back onto the nearest.
    position = host::keepOnScreen(QRect(position, frameGeometry().size()));
    host::placeFrame(this, position);
    m_place->asked(position);

    if (onTop.equals(u"1"))
        host::setTopmost(this, true);
    // The Tab cycle starts at the disk icon, first in the tab order.
    picIcon->setFocus(Qt::OtherFocusReason);
    if (autoLoad.equals(u"1"))
        Module1::ReloadDiskSettings();
    else if (firstStart)
        Module1::RefreshDiskDisplay();
}

void Main::Form_Unload() {
    // Only a place the program knows is written; elsewhere records 1 and 2 stay the user's.
    if (const std::optional<QPoint> frame = m_place->known(); frame && !isMinimized())
        writeProgramSettings({{ProgramSettingsRecord::Top,
                               TaggedValue::single(float(host::pixelsToTwipsY(frame->y())))},
                              {ProgramSettingsRecord::Left,
                               TaggedValue::single(float(host::pixelsToTwipsX(frame->x())))}});
    host::DriveA::detachImage();
    host::endProgram(0);
}

void Main::closeEvent(QCloseEvent* event) {
    event->accept();
    Form_Unload();
}

void Main::mnuExit_Click() {
    hide();
    close();
}

void Main::mnuMinimize_Click() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void Main::mnuInfo_Click() {
    host::FormInstance<Info>::show(this);
}

void Main::mnuNotes_Click() {
    host::FormInstance<Notes>::show(this);
}

void Main::mnuAddToArch_Click() {
    ArchiveCommands::addFiles();
}

void Main::mnuOpenAutoArch_Click() {
    ArchiveCommands::open();
}

void Main::mnuDelInAutoArch_Click() {
    ArchiveCommands::deleteArchive();
}

void Main::mnuClearDustBin_Click() {
    CleanUpCommands::clearDustBin();
}

void Main::mnuClearRecentDocs_Click() {
    CleanUpCommands::clearRecentDocs();
}

void Main::mnuClearClipBoard_Click() {
    CleanUpCommands::clearClipboard();
}

void Main::mnuOpenInExplorer_Click() {
    CleanUpCommands::openInExplorer();
}

void Main::Image1_Click() {
    Module1::ReloadDiskSettings();
    host::FormInstance<DiskProperties>::show(this);
}

void Main::Image2_Click() {
    Module1::ReloadDiskSettings();
    Module1::ExecuteLink();
}

void Main::picIcon_Click() {
    Module1::ReloadDiskSettings();
}

void Main::Image3_Click() {
    mnuCoolStuff->popup(Image3->popupPosition());
}

void Main::Image4_Click() {
    host::FormInstance<Settings>::show(this);
}

void Main::Image5_Click() {
    mnuWindows->setDefaultAction(mnuExit);
    mnuWindows->popup(Image5->popupPosition());
}
