// SPDX-License-Identifier: MIT
#include "AddAction.h"

#include "engine/ActionKinds.h"

#include "host/gui/Controls.h"
#include "host/gui/DialogKeys.h"
#include "storage/TaggedValue.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace vortle;

AddAction::AddAction(QWidget* parent) : QWidget(parent, host::formFlags(Qt::Dialog)) {
    host::setUpForm(this, QStringLiteral("Add an action"), 5655, 2895);

    lblAction = host::placeControl(
        new QLabel(QStringLiteral("This will add an action to the list of actions, that happen "
                                  "when you fire \"Execute Link\". First, select the type of "
                                  "action."),
                   this),
        "lblAction", 240, 240, 5175, 735);
    lblAction->setWordWrap(true);
    lblAction->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lstActions = host::placeControl(new QListWidget(this), "lstActions", 240, 840, 5055, 1425);
    lstActions->addItems(ActionKinds::labels());
    lstActions->setCurrentRow(-1);

    picFillOut = host::placeControl(new QWidget(this), "picFillOut", 120, 840, 5295, 1455);
    lblExec1 = host::placeControl(new QLabel(picFillOut), "lblExec1", 120, 0, 3615, 255);
    txtExec1 = host::placeControl(new QLineEdit(picFillOut), "txtExec1", 120, 240, 5055, 285);
    txtExec1->setMaxLength(storage::TaggedValue::kMaxStringBytes);
    lblExec2 = host::placeControl(new QLabel(picFillOut), "lblExec2", 120, 720, 3615, 255);
    txtExec2 = host::placeControl(new QLineEdit(picFillOut), "txtExec2", 120, 960, 5055, 285);
    txtExec2->setMaxLength(storage::TaggedValue::kMaxStringBytes);
    picFillOut->hide();

    Command1 = host::placeControl(new QPushButton(QStringLiteral("Next >"), this), "Command1", 2520,
                                  2400, 1335, 375);
    Command2 = host::placeControl(new QPushButton(QStringLiteral("Cancel"), this), "Command2", 3960,
                                  2400, 1335, 375);

    m_keys = host::DialogKeys::install(this, Command1, Command2);

    // "Next >" waits for a kind the user picked: the list's current row alone is none (Qt makes
    // the first row current, unseen, when the list takes the focus).
    Command1->setEnabled(false);
    connect(lstActions, &QListWidget::itemSelectionChanged, this,
            [this] { Command1->setEnabled(!m_filledIn && chosenKind() >= 0); });
    connect(Command1, &QPushButton::clicked, this, &AddAction::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &AddAction::Command2_Click);
}

int AddAction::chosenKind() const {
    const QList<QListWidgetItem*> chosen = lstActions->selectedItems();
    return chosen.isEmpty() ? -1 : lstActions->row(chosen.first());
}

void AddAction::Command1_Click() {
    const int position = chosenKind();
    if (position < 0 || position >= ActionKinds::kCount)
        return;         // no kind chosen yet
    lstActions->hide(); // the second page takes the place of the list of kinds
    picFillOut->show();
    Command1->setEnabled(false);
    lblAction->setText(QStringLiteral(
        "Please fill out the text-boxes below to enter the nessecary informations."));
    Command2->setText(QStringLiteral("Close"));
    m_filledIn = true;
    // Enter now commits; Escape closes without committing, as the window's frame does.
    m_keys->setDefaultButton(Command2);
    m_keys->setCancelButton(nullptr);
    const ActionKinds::ActionKind& kind = ActionKinds::kKinds[position];
    lblExec1->setText(QString::fromLatin1(kind.firstPrompt));
    const bool second = kind.secondPrompt != nullptr;
    lblExec2->setVisible(second);
    txtExec2->setVisible(second);
    if (second)
        lblExec2->setText(QString::fromLatin1(kind.secondPrompt));
    txtExec1->setFocus();
}

void AddAction::Command2_Click() {
    if (m_filledIn)
        commit();
    close();
}

void AddAction::edit(const DiskSettings::Action& action) {
    lstActions->setCurrentRow(ActionKinds::positionOf(action.kind));
    txtExec1->setText(action.firstPath);
    txtExec2->setText(action.secondPath);
}

void AddAction::commit() {
    const int position = chosenKind();
    if (position < 0)
        return;
    // The second path is taken for every kind, also where its row is hidden.
    emit actionMade({QString::fromLatin1(ActionKinds::kKinds[position].code), txtExec1->text(),
                     txtExec2->text()});
}

void AddAction::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
