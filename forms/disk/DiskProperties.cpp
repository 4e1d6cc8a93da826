// SPDX-License-Identifier: MIT
#include "DiskProperties.h"

#include "AddAction.h"
#include "engine/ActionKinds.h"
#include "engine/DiskEngine.h"
#include "engine/DiskSettings.h"
#include "module1/MediumWait.h"
#include "module1/Module1.h"

#include "host/core/FileSystem.h"
#include "host/core/Location.h"
#include "host/core/RuntimeError.h"
#include "host/gui/Controls.h"
#include "host/gui/DesignStyle.h"
#include "host/gui/DialogKeys.h"
#include "host/gui/FormInstance.h"
#include "host/gui/MediumText.h"
#include "host/gui/MessageBox.h"
#include "host/gui/Twips.h"
#include "host/image/Picture.h"
#include "module1/Dialog.h"
#include "storage/Profiles.h"
#include "storage/TaggedValue.h"

#include <QCursor>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>

using namespace vortle;

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
// A list that keeps a table beside the window's edge, where no one sees it: Tab passes it by.
QListWidget* hiddenList(QWidget* parent, const char* name, double top) {
    QListWidget* list = host::placeControl(new QListWidget(parent), name, 5880, top, 1215, 840);
    list->setFocusPolicy(Qt::NoFocus);
    return list;
}

} // namespace

DiskProperties::DiskProperties(QWidget* parent) : QWidget(parent, host::formFlags(Qt::Dialog)) {
    host::setUpForm(this, QStringLiteral("Disk Properties"), 5775, 4815);

    Tab1 = new QTabBar(this);
    Tab1->setObjectName(QStringLiteral("Tab1"));
    // The pages start below the strip's design height, whatever the desktop's style.
    Tab1->setProperty(host::DesignStyle::kDesignHeight, host::twipsToPixelsY(480 - 120));
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

    // The labels name their text boxes for a screen reader; Ctrl+Tab and Ctrl+Shift+Tab turn
    // the pages, as in the platform's tabbed dialogs.
    Label1->setBuddy(txtName);
    Label2->setBuddy(txtIcon);
    txtName->setAccessibleName(Label1->text());
    txtName->setFocus(); // where a user starts: the disk's name
    txtIcon->setAccessibleName(Label2->text());
    lstActions->setAccessibleName(tr("Actions"));
    for (const auto& [keys, step] :
         {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
          std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1}}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            Tab1->setCurrentIndex((Tab1->currentIndex() + step + Tab1->count()) % Tab1->count());
        });
    }
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

namespace {

// What a row's action touches, readable before it runs: its paths, as plain text, in the row's
// tip and for screen readers (the list shows only the kind).
void describePaths(QListWidgetItem* row, const DiskSettings::Action& action) {
    QString paths = host::mediumText(action.firstPath);
    if (!action.secondPath.isEmpty())
        paths += QLatin1Char('\n') + host::mediumText(action.secondPath);
    if (action.kind == DiskSettings::kExecuteFile) // where its relative paths lead
        paths += QLatin1Char('\n') + DiskProperties::tr("Runs in the root folder of drive A:");
    row->setData(Qt::AccessibleDescriptionRole, paths);
    row->setToolTip(Qt::mightBeRichText(paths) ? Qt::convertFromPlainText(paths) : paths);
}

// Saves the name and the list on the medium the window was filled from, and copies the icon;
// nothing when another medium (or none) is in the drive. Raises the settings file's errors.
DiskProperties::Saved saveOnMedium(const host::Medium& window, const QString& name,
                                   const QList<DiskSettings::Action>& actions,
                                   const QString& icon) {
    const host::MediumHold medium(window);
    if (!medium.isInDrive())
        return {};
    DiskEngine::writeSettings(name, actions);
    // The name and the actions are saved. An icon that cannot be copied (gone, a folder, a
    // missing drive) costs only the icon: the diskette and the main window keep the old one.
    DiskProperties::Saved saved{true, true};
    if (!icon.isEmpty()) {
        try {
            DiskEngine::replaceIcon(icon);
        } catch (const host::RuntimeError&) {
            saved.iconCopied = false;
        }
    }
    return saved;
}

} // namespace

void DiskProperties::appendAction(const DiskSettings::Action& action) {
    lstMode->addItem(action.kind);
    lstExec1->addItem(action.firstPath);
    lstExec2->addItem(action.secondPath);
    lstActions->addItem(ActionKinds::labelFor(action.kind));
    describePaths(lstActions->item(lstActions->count() - 1), action);
}

void DiskProperties::replaceAction(int row, const DiskSettings::Action& action) {
    if (row < 0 || row >= lstActions->count())
        return;
    lstMode->item(row)->setText(action.kind);
    lstExec1->item(row)->setText(action.firstPath);
    lstExec2->item(row)->setText(action.secondPath);
    lstActions->item(row)->setText(ActionKinds::labelFor(action.kind));
    describePaths(lstActions->item(row), action);
}

QList<DiskSettings::Action> DiskProperties::actions() const {
    QList<DiskSettings::Action> actions;
    for (int i = 0; i < lstActions->count(); ++i)
        actions.append(
            {lstMode->item(i)->text(), lstExec1->item(i)->text(), lstExec2->item(i)->text()});
    return actions;
}

void DiskProperties::Form_Load() {
    picIcon->setPixmap(QPixmap::fromImage(Module1::diskIconPicture()));
    if (Module1::CheckDrive(QStringLiteral("a:"))) {
        struct Loaded {
            host::Medium medium;
            DiskEngine::DiskContents contents;
        };
        const auto loaded = std::make_shared<Loaded>();
        const QPointer<DiskProperties> alive(this);
        bool answered = true;
        try {
            Module1::waitForMedium([loaded] {
                loaded->medium = host::Medium::inDriveA();
                const host::MediumHold hold(loaded->medium);
                // Whatever was read before a failure stays.
                loaded->contents = DiskEngine::readContents();
            });
        } catch (const host::RuntimeError&) {
            answered = false; // its thread may still fill `loaded`: the window keeps no medium
        }
        if (!alive)
            return;
        if (answered) {
            m_medium = std::move(loaded->medium);
            for (const DiskSettings::Action& action : loaded->contents.list.actions)
                appendAction(action);
            txtName->setText(loaded->contents.name);
        }
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
    // Only an icon that could be shown is ever copied onto the diskette.
    m_iconLoaded = false;
    const QString path = txtIcon->text();
    const QPointer<DiskProperties> alive(this);
    const QImage image = Module1::previewPicture(path);
    if (!alive || image.isNull() || txtIcon->text() != path)
        return; // gone, no picture (the preview keeps its own), or already another path
    picIcon->setPixmap(QPixmap::fromImage(image));
    m_iconLoaded = true;
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

AddAction* DiskProperties::openEditor(int row) {
    closeOpenEditor();
    hide();
    m_editRow = row;
    lblMode->setText(row < 0 ? QStringLiteral("Add") : QStringLiteral("Edit"));
    AddAction* editor = host::FormInstance<AddAction>::load(parentWidget());
    connect(editor, &AddAction::actionMade, this, [this](const DiskSettings::Action& action) {
        if (m_editRow < 0)
            appendAction(action);
        else
            replaceAction(m_editRow, action);
    });
    // Committed, cancelled or closed by its frame: this window comes back.
    connect(editor, &AddAction::closed, this, [this] {
        show();
        raise();
    });
    return editor;
}

void DiskProperties::Command4_Click() {
    AddAction* editor = openEditor(-1);
    editor->setWindowModality(Qt::ApplicationModal);
    host::FormInstance<AddAction>::show(parentWidget());
}

void DiskProperties::Command7_Click() {
    const int row = lstActions->currentRow();
    if (row < 0)
        return; // nothing selected: nothing to edit
    AddAction* editor = openEditor(row);
    host::FormInstance<AddAction>::show(parentWidget());
    editor->edit(actions().at(row));
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

// The medium is let go as the window goes, not when Qt deletes it later: a held root keeps a
// stick from being unmounted.
void DiskProperties::closeEvent(QCloseEvent* event) {
    m_medium = {};
    QWidget::closeEvent(event);
}

void DiskProperties::Command1_Click() {
    close();
}

void DiskProperties::Command2_Click() {
    const auto saved = std::make_shared<Saved>();
    const QPointer<DiskProperties> alive(this);
    bool answered = true; // false on a failure, or a work still running that may yet fill `saved`
    try {
        Module1::waitForMedium([saved,
                                medium = std::make_shared<host::Medium>(m_medium.duplicate()),
                                name = txtName->text(), list = actions(),
                                icon = m_iconLoaded ? txtIcon->text() : QString(),
                                iconRefused = !m_iconLoaded && !txtIcon->text().isEmpty()] {
            *saved = saveOnMedium(*medium, name, list, icon);
            saved->iconCopied = saved->iconCopied && !iconRefused;
        });
    } catch (const host::RuntimeError&) {
        // The diskette keeps its previous files; the window keeps what the user entered.
        answered = false;
    }
    if (!alive)
        return;
    if (!answered || !saved->done) {
        Module1::reportWriteFailure();
        return;
    }
    Module1::setDiskIdentity(saved->iconCopied ? picIcon->pixmap().toImage() : QImage(),
                             txtName->text());
    if (!saved->iconCopied)
        host::MsgBox(QStringLiteral("Couldn't copy the icon to the disk."), host::MB_ICONCRITICAL,
                     Module1::kTitle);
    if (alive) // it may have been closed while the box was open
        close();
}
