// SPDX-License-Identifier: MIT
#pragma once

#include "engine/DiskSettings.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace host {
class DialogKeys;
}

// "Add an action": a two-page wizard that makes an action for the disk properties window, a new
// one or a change of the selected one.
class AddAction : public QWidget {
    Q_OBJECT
public:
    explicit AddAction(QWidget* parent = nullptr);

    // Starts from an action to change: its kind chosen in the list, its paths in the boxes.
    void edit(const vortle::DiskSettings::Action& action);

signals:
    // What "Close" on the second page made; the owner adds it or puts it in place.
    void actionMade(const vortle::DiskSettings::Action& action);
    // The window is closing, however it was closed.
    void closed();

public slots:
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* lblAction;
    QListWidget* lstActions;
    QWidget* picFillOut;
    QLabel* lblExec1;
    QLineEdit* txtExec1;
    QLabel* lblExec2;
    QLineEdit* txtExec2;
    QPushButton* Command1; // "Next >"
    QPushButton* Command2; // "Cancel", then "Close"

    void commit();
    int chosenKind() const; // the selected kind's position, -1 for none
    host::DialogKeys* m_keys;
    bool m_filledIn = false; // "Next >" was pressed: "Close" commits
};
