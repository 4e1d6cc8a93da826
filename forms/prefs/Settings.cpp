// SPDX-License-Identifier: MIT
#include "Settings.h"

#include "module1/Dialog.h"
#include "module1/MediumWait.h"
#include "resources/Pictures.h"
#include "storage/Profiles.h"

#include "host/core/CodePage.h"
#include "host/core/RuntimeError.h"
#include "host/gui/CheckBox.h"
#include "host/gui/Controls.h"
#include "host/gui/DialogKeys.h"
#include "host/gui/Twips.h"
#include "host/gui/WindowManager.h"
#include "host/gui/WindowPos.h"
#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

using namespace vortle;

namespace {

using storage::TaggedValue;
namespace Rec = storage::ProgramSettingsRecord;

constexpr int kRecordText = TaggedValue::kMaxStringBytes;

QString profileLabel(int number, const QString& name) {
    return QStringLiteral("Profile No. %1 - %2").arg(number).arg(name);
}

// A control with a tool tip, which also names it for screen readers.
template <typename Control>
Control* place(Control* control, const char* name, double left, double top, double width,
               double height, const QString& tip = {}) {
    host::placeControl(control, name, left, top, width, height);
    if (!tip.isEmpty()) {
        control->setToolTip(tip);
        control->setAccessibleName(tip);
    }
    return control;
}

// A check box takes the states 0 (unchecked), 1 (checked) and 2 (grayed); a record that holds
// anything else leaves it unchecked.
void setCheckState(QCheckBox* box, const TaggedValue& value) {
    host::resumeNext([&] {
        const double number = std::nearbyint(value.toNumber());
        if (number == 1)
            box->setCheckState(Qt::Checked);
        else if (number == 2)
            box->setCheckState(Qt::PartiallyChecked);
    });
}

std::int16_t checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

// Text that a record can hold; a longer dialog result leaves the box as it was.
void setIfStorable(QLineEdit* box, const QString& text) {
    if (host::toAnsi(text).size() <= kRecordText)
        box->setText(text);
}

} // namespace

Settings::Settings(QWidget* parent) : QWidget(parent, host::formFlags(Qt::Dialog)) {
    host::setUpForm(this, QStringLiteral("Preferences"), 4935, 6240);
    setWindowIcon(Pictures::icon(QStringLiteral("settings.png")));

    Label1 =
        place(new QLabel(QStringLiteral("User profiles"), this), "Label1", 120, 120, 3855, 255);
    lstProfiles = place(new QListWidget(this), "lstProfiles", 120, 360, 4695, 1035);
    lstProfiles->setAccessibleName(Label1->text());
    Command3 = place(new QPushButton(QStringLiteral("Add a profile"), this), "Command3", 120, 1560,
                     1455, 375);
    Command4 = place(new QPushButton(QStringLiteral("Delete profile"), this), "Command4", 1680,
                     1560, 1455, 375);
    Label2 =
        place(new QLabel(QStringLiteral("Name of disk"), this), "Label2", 120, 2040, 1695, 255);
    txtName = place(new QLineEdit(this), "txtName", 120, 2280, 4695, 285,
                    QStringLiteral("Name of current scheme"));
    txtName->setMaxLength(kRecordText);
    Label4 = place(new QLabel(QStringLiteral("Icon"), this), "Label4", 120, 2640, 2175, 255);
    txtIcon = place(new QLineEdit(this), "txtIcon", 120, 2880, 4335, 285,
                    QStringLiteral("Icon of current scheme"));
    txtIcon->setMaxLength(kRecordText);
    Sarc = place(new QPushButton(QStringLiteral(".."), this), "Sarc", 4560, 2880, 255, 255,
                 QStringLiteral("Search Icon"));
    picIcon = place(new QLabel(this), "picIcon", 120, 3240, 495, 495);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    chkAutoLoad =
        place(new host::CheckBox(QStringLiteral("Auto-load disk-settings on start"), this),
              "chkAutoLoad", 120, 3960, 3855, 375);
    chkAlwaysOnTop = place(new host::CheckBox(QStringLiteral("Always on top"), this),
                           "chkAlwaysOnTop", 120, 4320, 3855, 375);
    if (!host::WindowManager::keepsWindowsOnTop()) {
        // The choice is kept for other desktops, but it is no promise here.
        const QString note = tr("This desktop does not keep a window on top of others.");
        chkAlwaysOnTop->setToolTip(note);
        chkAlwaysOnTop->setAccessibleDescription(note);
    }
    Label3 = place(new QLabel(QStringLiteral("WinZip"), this), "Label3", 120, 4800, 1695, 255);
    txtZip = place(new QLineEdit(this), "txtZip", 120, 5040, 4335, 285,
                   QStringLiteral("Enter here the folder and files of Winzip"));
    txtZip->setMaxLength(kRecordText);
    Command5 = place(new QPushButton(QStringLiteral(".."), this), "Command5", 4560, 5040, 255, 255,
                     QStringLiteral("Search Winzip"));
    Command2 = place(new QPushButton(QStringLiteral("OK"), this), "Command2", 120, 5760, 1455, 375);
    Command1 =
        place(new QPushButton(QStringLiteral("Cancel"), this), "Command1", 1680, 5760, 1455, 375);
    host::DialogKeys::install(this, Command2, Command1);
    // Outside the client area: they only hold the profiles' names and icon paths.
    lstName = place(new QListWidget(this), "lstName", 5160, 600, 975, 450);
    lstIcon = place(new QListWidget(this), "lstIcon", 5160, 1200, 975, 450);
    lstName->hide();
    lstIcon->hide();

    // Line1(0) and (1) above OK and Cancel, Line1(3) and (2) above the check boxes.
    Line1 = host::etchedSeparator(this, 120, 4800, 5520, 5535);
    const QList<host::LineControl*> upper = host::etchedSeparator(this, 120, 4800, 3840, 3855);
    Line1 << upper[1] << upper[0];

    // Tab order by the controls' tab indexes.
    host::setTabOrder({chkAutoLoad, Command1, Command2, lstProfiles, Command3, Command4, txtName,
                       txtIcon, Sarc, chkAlwaysOnTop, txtZip, Command5});

    connect(lstProfiles, &QListWidget::currentRowChanged, this, &Settings::lstProfiles_Click);
    connect(txtName, &QLineEdit::textChanged, this, &Settings::txtName_Change);
    connect(txtIcon, &QLineEdit::textChanged, this, &Settings::txtIcon_Change);
    connect(Command3, &QPushButton::clicked, this, &Settings::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Settings::Command4_Click);
    connect(Sarc, &QPushButton::clicked, this, &Settings::Sarc_Click);
    connect(Command5, &QPushButton::clicked, this, &Settings::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &Settings::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Settings::Command1_Click);

    // Centred on the screen.
    host::centreOnScreen(this);
}

Settings::~Settings() = default;

Dialog& Settings::dialog() {
    if (!m_dialog)
        m_dialog = std::make_unique<Dialog>();
    return *m_dialog;
}

void Settings::appendProfile(const QString& label, const QString& name, const QString& icon) {
    lstName->addItem(name);
    lstIcon->addItem(icon);
    lstProfiles->addItem(label);
}

void Settings::updateAddButton() {
    // The profiles file holds at most 101 profiles; more would be lost at the next reading.
    Command3->setEnabled(lstProfiles->count() < Profiles::kMaxProfiles);
}

void Settings::Form_Load() {
    host::resumeNext([&] {
        const auto [autoLoad, onTop, winZip] =
            storage::readProgramSettings({Rec::AutoLoad, Rec::AlwaysOnTop, Rec::WinZipPath});
        setCheckState(chkAutoLoad, autoLoad);
        setCheckState(chkAlwaysOnTop, onTop);
        txtZip->setText(winZip.toText());
    });
    for (const Profiles::Profile& profile : Profiles::readAllProfiles(Profiles::ProfilesPath()))
        appendProfile(profileLabel(int(lstProfiles->count()) + 1, profile.name), profile.name,
                      profile.icon);
    lstProfiles->setCurrentRow(-1);
    updateAddButton();
}

void Settings::lstProfiles_Click() {
    const int row = lstProfiles->currentRow();
    lstName->setCurrentRow(row);
    lstIcon->setCurrentRow(row);
    if (row < 0)
        return; // nothing selected (after a deletion): the boxes keep what they show
    txtName->setText(lstName->item(row)->text());
    txtIcon->setText(lstIcon->item(row)->text());
}

void Settings::txtName_Change() {
    const int row = lstName->currentRow();
    if (row < 0)
        return; // no profile selected: typing changes no profile
    lstName->item(row)->setText(txtName->text());
    lstProfiles->item(lstProfiles->currentRow())
        ->setText(profileLabel(lstProfiles->currentRow() + 1, txtName->text()));
}

void Settings::txtIcon_Change() {
    const int row = lstIcon->currentRow();
    if (row >= 0)
        lstIcon->item(row)->setText(txtIcon->text());
    if (txtIcon->text().isEmpty()) {
        picIcon->clear();
        return;
    }
    const QString path = txtIcon->text();
    const QPointer<Settings> alive(this);
    const QImage image = Module1::previewPicture(path);
    if (alive && !image.isNull() && txtIcon->text() == path)
        picIcon->setPixmap(QPixmap::fromImage(image));
}

void Settings::Command3_Click() {
    if (lstProfiles->count() >= Profiles::kMaxProfiles)
        return;
    lstName->addItem(QString());
    lstIcon->addItem(QString());
    lstProfiles->addItem(QStringLiteral("Profile No. %1").arg(lstProfiles->count() + 1));
    lstProfiles->setCurrentRow(lstProfiles->count() - 1);
    txtName->setFocus();
    updateAddButton();
}

void Settings::Command4_Click() {
    const int row = lstProfiles->currentRow();
    if (row < 0)
        return; // nothing selected: nothing to delete
    {
        // Removing the entry selects nothing and leaves the boxes as they are.
        const QSignalBlocker blocker(lstProfiles);
        delete lstName->takeItem(row);
        delete lstIcon->takeItem(row);
        delete lstProfiles->takeItem(row);
        for (QListWidget* list : {lstProfiles, lstName, lstIcon})
            list->setCurrentRow(-1);
    }
    updateAddButton();
}

void Settings::Sarc_Click() {
    setIfStorable(txtIcon, dialog().OpenFile(QStringLiteral("Icons|*.ico")));
}

void Settings::Command5_Click() {
    setIfStorable(txtZip, dialog().OpenFile(QStringLiteral("Executables|*.exe")));
}

void Settings::Command2_Click() {
    const std::int16_t autoLoad = checkValue(chkAutoLoad);
    const std::int16_t onTop = checkValue(chkAlwaysOnTop);
    const QString winZip = txtZip->text();

    if (QWidget* main = parentWidget(); main && (onTop == 0 || onTop == 1))
        host::setTopmost(main, onTop == 1);

    storage::writeProgramSettings({{Rec::AutoLoad, TaggedValue::integer(autoLoad)},
                                   {Rec::AlwaysOnTop, TaggedValue::integer(onTop)},
                                   {Rec::WinZipPath, TaggedValue::string(winZip)}});

    host::resumeNext([&] {
        QList<Profiles::Profile> profiles;
        for (int p = 0; p < lstProfiles->count(); ++p)
            profiles.append({lstName->item(p)->text(), lstIcon->item(p)->text()});
        Profiles::writeAllProfiles(Profiles::ProfilesPath(), profiles);
    });
    close();
}

void Settings::Command1_Click() {
    close();
}
