// SPDX-License-Identifier: MIT
#pragma once

#include "engine/DiskSettings.h"
#include "host/core/Location.h"

#include <QList>
#include <QWidget>

#include <memory>

class AddAction;
class Dialog;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTabBar;
namespace host {
class LineControl;
}

// "Disk Properties": the diskette's name, icon and Execute Link list. The action list lives in
// four parallel lists, kept in step by position: labels (lstActions), kind codes (lstMode),
// first paths (lstExec1) and second paths (lstExec2).
class DiskProperties : public QWidget {
    Q_OBJECT
public:
    explicit DiskProperties(QWidget* parent = nullptr);
    ~DiskProperties() override;

    // What an OK wrote: the settings file, and the icon where one was chosen.
    struct Saved {
        bool done = false;
        bool iconCopied = false;
    };

    // Appends one action to the four lists; replaces the one at a row.
    void appendAction(const vortle::DiskSettings::Action& action);
    void replaceAction(int row, const vortle::DiskSettings::Action& action);

public slots:
    void Form_Load();
    void Tab1_Click();
    void txtIcon_Change();
    void Command3_Click();
    void Command6_Click();
    void mnuProfile_Click(int index);
    void lstActions_Click();
    void Command4_Click();
    void Command7_Click();
    void Command5_Click();
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTabBar* Tab1; // "Name and Icon", "Execution Link"
    QWidget* picName;
    QPushButton* Command6; // "Get vortle::Profiles"
    QLabel* Label1;        // "Name"
    QLineEdit* txtName;
    QList<host::LineControl*> Line1;
    QLabel* Label2; // "Icon"
    QLineEdit* txtIcon;
    QLabel* picIcon;
    QPushButton* Command3; // "Search"
    QWidget* picEL;
    QLabel* Label3; // "This windows will manage the action ..."
    QListWidget* lstActions;
    QPushButton* Command4; // "Add an action"
    QPushButton* Command7; // "Edit action"
    QPushButton* Command5; // "Delete action"
    QPushButton* Command2; // "&OK"
    QPushButton* Command1; // "&Cancel"
    QListWidget* lstMode;
    QListWidget* lstExec1;
    QListWidget* lstExec2;
    QLabel* lblMode; // "Add" or "Edit": what the action editor does
    QMenu* mnuProfiles;
    QList<QAction*> mnuProfile;

    QAction* addProfileItem();
    QList<vortle::DiskSettings::Action> actions() const;
    void closeOpenEditor();
    AddAction* openEditor(int row); // -1: a new action
    int m_editRow = -1;
    host::Medium m_medium;     // the medium the window was filled from; none without a diskette
    bool m_iconLoaded = false; // the preview shows the icon that txtIcon names

    std::unique_ptr<Dialog> m_dialog; // created the first time "Search" is used
};
