#include "DiskProperties.h"

#include "ActionKinds.h"
#include "AddAction.h"
#include "DiskSettings.h"
#include "Module1.h"

#include "host/Controls.h"
#include "host/DialogKeys.h"
#include "host/FileSystem.h"
#include "host/FormInstance.h"
#include "host/MessageBox.h"
#include "host/Picture.h"
#include "host/RuntimeError.h"
#include "host/Twips.h"
#include "prefs/Dialog.h"
#include "prefs/Profiles.h"
#include "storage/RecordFile.h"

#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>

namespace {

// The most text a value can hold in one record.
constexpr int kRecordText = storage::TaggedValue::kMaxStringBytes;

// The window's buttons all have one size.
QPushButton* button(QWidget* parent, const char* name, const QString& caption, double left,
                    double top) {
    return host::placeControl(new QPushButton(caption, parent), name, left, top, 1455, 375);
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, double left, double top,
              double width, double height) {
    return host::placeControl(new QLabel(caption, parent), name, left, top, width, height);
}

// Outside the client area, so never seen: the lists only hold the action data.
QListWidget* hiddenList(QWidget* parent, const char* name, double top) {
    return host::placeControl(new QListWidget(parent), name, 5880, top, 1215, 840);
}

// Replaces the diskette's icon by a copy of `source`. The icon file's own read-only and hidden
// attributes are kept as they were.
void replaceDiskIcon(const QString& source) {
    const QString& target = DiskSettings::kIconPath;
    if (host::isSameFile(source, target))
        return;
    constexpr int kept = host::AttrReadOnly | host::AttrHidden | host::AttrSystem;
    const int attributes = host::fileExists(target) ? host::getAttributes(target) & kept : 0;
    if (attributes & host::AttrReadOnly)
        host::setAttributes(target, attributes & ~host::AttrReadOnly);
    try {
        host::copyFile(source, target);
    } catch (const host::RuntimeError&) {
        host::resumeNext([&] { host::setAttributes(target, attributes); });
        throw;
    }
    if (attributes != 0)
        host::setAttributes(target, attributes);
}

} // namespace

DiskProperties::DiskProperties(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Disk Properties"));
    setAccessibleName(windowTitle());
    host::setClientSizeTwips(this, 5775, 4815);

    Tab1 = new QTabBar(this);
    Tab1->setObjectName(QStringLiteral("Tab1"));
    Tab1->addTab(QStringLiteral("Name and Icon"));
    Tab1->addTab(QStringLiteral("Execution Link"));
    Tab1->setDrawBase(false);
    Tab1->setExpanding(false);
    Tab1->move(host::twipsToPixelsX(120), host::twipsToPixelsY(120));
    Tab1->resize(host::twipsToPixelsX(5535), Tab1->sizeHint().height());
    // The tab strip's body, framing both pages.
    auto* body = new QFrame(this);
    body->setFrameShape(QFrame::StyledPanel);
    const int bodyTop = Tab1->y() + Tab1->height() - 1;
    body->setGeometry(Tab1->x(), bodyTop, Tab1->width(),
                      host::twipsToPixelsY(120 + 4095) - bodyTop);

    picName = host::placeControl(new QWidget(this), "picName", 240, 480, 5295, 3615);
    Command6 = button(picName, "Command6", QStringLiteral("Get Profiles"), 120, 120);
    Label1 = label(picName, "Label1", QStringLiteral("Name"), 120, 720, 2535, 255);
    txtName = host::placeControl(new QLineEdit(picName), "txtName", 120, 960, 4335, 285);
    txtName->setMaxLength(kRecordText);
    Line1 = host::etchedSeparator(picName, 120, 5160, 600, 615);
    Label2 = label(picName, "Label2", QStringLiteral("Icon"), 120, 1560, 2895, 255);
    txtIcon = host::placeControl(new QLineEdit(picName), "txtIcon", 120, 1800, 4335, 285);
    picIcon = host::placeControl(new QLabel(picName), "picIcon", 120, 2160, 480, 480);
    picIcon->setScaledContents(true);
    Command3 = button(picName, "Command3", QStringLiteral("Search"), 720, 2160);

    picEL = host::placeControl(new QWidget(this), "picEL", 240, 480, 5295, 3615);
    Label3 =
        label(picEL, "Label3",
              QStringLiteral("This windows will manage the action that will be taken, when you "
                             "fire \"Execute Link\". Please add them in a logical way."),
              120, 240, 5055, 495);
    Label3->setWordWrap(true);
    lstActions = host::placeControl(new QListWidget(picEL), "lstActions", 120, 720, 5055, 1620);
    Command4 = button(picEL, "Command4", QStringLiteral("Add an action"), 120, 2520);
    Command7 = button(picEL, "Command7", QStringLiteral("Edit action"), 1680, 2520);
    Command5 = button(picEL, "Command5", QStringLiteral("Delete action"), 3240, 2520);
    picEL->hide();

    Command2 = button(this, "Command2", QStringLiteral("&OK"), 2640, 4320);
    Command1 = button(this, "Command1", QStringLiteral("&Cancel"), 4200, 4320);
    host::DialogKeys::install(this, Command2, Command1);
    lstMode = hiddenList(this, "lstMode", 480);
    lstExec1 = hiddenList(this, "lstExec1", 1440);
    lstExec2 = hiddenList(this, "lstExec2", 2400);
    lblMode = label(this, "lblMode", QString(), 120, 4320, 2175, 255);
    lblMode->hide();

    mnuProfiles = new QMenu(this);
    mnuProfiles->setObjectName(QStringLiteral("mnuProfiles"));
    addProfileItem(); // item 0 exists from the start, with an empty caption

    connect(Tab1, &QTabBar::currentChanged, this, &DiskProperties::Tab1_Click);
    connect(txtIcon, &QLineEdit::textChanged, this, &DiskProperties::txtIcon_Change);
    connect(Command3, &QPushButton::clicked, this, &DiskProperties::Command3_Click);
    connect(Command6, &QPushButton::clicked, this, &DiskProperties::Command6_Click);
    connect(lstActions, &QListWidget::currentRowChanged, this, &DiskProperties::lstActions_Click);
    connect(Command4, &QPushButton::clicked, this, &DiskProperties::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &DiskProperties::Command7_Click);
    connect(Command5, &QPushButton::clicked, this, &DiskProperties::Command5_Click);
    connect(Command1, &QPushButton::clicked, this, &DiskProperties::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DiskProperties::Command2_Click);
}

DiskProperties::~DiskProperties() = default;

QAction* DiskProperties::addProfileItem() {
    const int index = int(mnuProfile.size());
    QAction* item = mnuProfiles->addAction(QString());
    item->setObjectName(QStringLiteral("mnuProfile_%1").arg(index));
    connect(item, &QAction::triggered, this, [this, index] { mnuProfile_Click(index); });
    mnuProfile.append(item);
    return item;
}

void DiskProperties::appendAction(const QString& kind, const QString& firstPath,
                                  const QString& secondPath) {
    lstMode->addItem(kind);
    lstExec1->addItem(firstPath);
    lstExec2->addItem(secondPath);
    lstActions->addItem(ActionKinds::labelFor(kind));
}

void DiskProperties::Form_Load() {
    picIcon->setPixmap(Module1::diskIconPicture());
    if (Module1::CheckDrive(QStringLiteral("a:"))) {
        QString name;
        // Whatever was read before a failure stays.
        host::resumeNext([&] {
            storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
                name = storage::GetRecord(file, DiskSettings::kNameRecord).toText();
                for (int i = 0; i < DiskSettings::kMaxActions; ++i) {
                    const DiskSettings::Action action = DiskSettings::readAction(file, i);
                    if (action.kind.isEmpty())
                        break;
                    appendAction(action.kind, action.firstPath, action.secondPath);
                }
            });
        });
        txtName->setText(name);
    }
    const QStringList names = Profiles::readProfileNames(Profiles::kFixedProfilesPath);
    for (int i = 0; i < names.size(); ++i) {
        QAction* item = i == 0 ? mnuProfile[0] : addProfileItem();
        item->setText(names[i]);
    }
}

void DiskProperties::Tab1_Click() {
    const bool nameAndIcon = Tab1->currentIndex() == 0;
    picName->setVisible(nameAndIcon);
    picEL->setVisible(!nameAndIcon);
}

void DiskProperties::txtIcon_Change() {
    host::resumeNext([&] { picIcon->setPixmap(host::LoadPicture(txtIcon->text())); });
}

void DiskProperties::Command3_Click() {
    if (!m_dialog)
        m_dialog = std::make_unique<Dialog>();
    txtIcon->setText(m_dialog->OpenFile(QStringLiteral("Icons|*.ico")));
}

void DiskProperties::Command6_Click() {
    mnuProfiles->popup(QCursor::pos());
}

void DiskProperties::mnuProfile_Click(int index) {
    // An unreadable profiles file changes nothing.
    host::resumeNext([&] {
        const Profiles::Profile profile =
            Profiles::readProfile(Profiles::kFixedProfilesPath, index);
        txtName->setText(profile.name);
        txtIcon->setText(profile.icon);
    });
}

void DiskProperties::lstActions_Click() {
    const int row = lstActions->currentRow();
    for (QListWidget* list : {lstMode, lstExec1, lstExec2})
        list->setCurrentRow(row);
}

// The editor starts fresh for every use: one still open from an earlier "Edit action" is
// closed first, and nothing of it is applied.
void DiskProperties::closeOpenEditor() {
    if (AddAction* open = host::FormInstance<AddAction>::loaded()) {
        open->close();
        delete open;
    }
}

void DiskProperties::Command4_Click() {
    closeOpenEditor();
    hide();
    lblMode->setText(QStringLiteral("Add"));
    AddAction* editor = host::FormInstance<AddAction>::load(parentWidget());
    editor->setWindowModality(Qt::ApplicationModal);
    host::FormInstance<AddAction>::show(parentWidget());
}

void DiskProperties::Command7_Click() {
    const int row = lstActions->currentRow();
    if (row < 0)
        return; // nothing selected: nothing to edit
    closeOpenEditor();
    hide();
    lblMode->setText(QStringLiteral("Edit"));
    AddAction* editor = host::FormInstance<AddAction>::show(parentWidget());
    editor->lstActions->setCurrentRow(ActionKinds::positionOf(lstMode->item(row)->text()));
    editor->txtExec1->setText(lstExec1->item(row)->text());
    editor->txtExec2->setText(lstExec2->item(row)->text());
}

void DiskProperties::Command5_Click() {
    const int row = lstActions->currentRow();
    if (row < 0)
        return;
    const QPointer<DiskProperties> alive(this);
    if (host::MsgBox(QStringLiteral("Are you sure that you want to delete this action?"),
                     host::MB_ICONCRITICAL | host::MB_YESNO, Module1::kTitle) != host::IDYES ||
        !alive)
        return; // No, or the window went while the question was open
    for (QListWidget* list : {lstActions, lstMode, lstExec1, lstExec2})
        delete list->takeItem(row);
    // As after removing the selected item, nothing is selected.
    for (QListWidget* list : {lstActions, lstMode, lstExec1, lstExec2})
        list->setCurrentRow(-1);
}

void DiskProperties::Command1_Click() {
    close();
}

void DiskProperties::Command2_Click() {
    try {
        saveSettings();
    } catch (const host::RuntimeError&) {
        // The diskette keeps its previous files; the window keeps what the user entered.
        host::MsgBox(QStringLiteral("Couldn't write on disk."), host::MB_ICONCRITICAL,
                     Module1::kTitle);
        return;
    }
    // The name and the actions are saved. An icon that cannot be copied (gone, a folder, a
    // missing drive) costs only the icon: the diskette and the main window keep the old one.
    bool iconCopied = true;
    if (!txtIcon->text().isEmpty()) {
        try {
            replaceDiskIcon(txtIcon->text());
        } catch (const host::RuntimeError&) {
            iconCopied = false;
        }
    }
    Module1::setDiskIdentity(iconCopied ? picIcon->pixmap() : Module1::diskIconPicture(),
                             txtName->text());
    const QPointer<DiskProperties> alive(this);
    if (!iconCopied)
        host::MsgBox(QStringLiteral("Couldn't copy the icon to the disk."), host::MB_ICONCRITICAL,
                     Module1::kTitle);
    if (alive) // it may have been closed while the box was open
        close();
}

void DiskProperties::saveSettings() {
    // The whole new file first: a value that does not fit fails before anything is touched.
    storage::RecordImage settings;
    settings.put(DiskSettings::kNameRecord, storage::TaggedValue::string(txtName->text()));
    for (int i = 0; i < lstActions->count(); ++i) {
        settings.put(DiskSettings::kindRecord(i),
                     storage::TaggedValue::string(lstMode->item(i)->text()));
        settings.put(DiskSettings::firstPathRecord(i),
                     storage::TaggedValue::string(lstExec1->item(i)->text()));
        settings.put(DiskSettings::secondPathRecord(i),
                     storage::TaggedValue::string(lstExec2->item(i)->text()));
    }
    // Written beside the old file and renamed into place: a failure leaves the old one whole.
    host::writeFileReplacing(DiskSettings::kSettingsPath, settings.bytes());
}
