// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QWidget>

#include <memory>

class Dialog;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
namespace host {
class LineControl;
}

// "Preferences": the profiles, the two start-up flags and the WinZip path. The profiles live in
// three parallel lists kept in step by position: labels (lstProfiles), names (lstName) and icon
// paths (lstIcon). Its owner is the main window, which OK moves into or out of the topmost band.
class Settings : public QWidget {
    Q_OBJECT
public:
    explicit Settings(QWidget* parent = nullptr);
    ~Settings() override;

public slots:
    void Form_Load();
    void lstProfiles_Click();
    void txtName_Change();
    void txtIcon_Change();
    void Command3_Click();
    void Command4_Click();
    void Sarc_Click();
    void Command5_Click();
    void Command2_Click();
    void Command1_Click();

private:
    QLabel* Label1; // "User profiles"
    QListWidget* lstProfiles;
    QPushButton* Command3; // "Add a profile"
    QPushButton* Command4; // "Delete profile"
    QLabel* Label2;        // "Name of disk"
    QLineEdit* txtName;
    QLabel* Label4; // "Icon"
    QLineEdit* txtIcon;
    QPushButton* Sarc;
    QLabel* picIcon;
    QCheckBox* chkAutoLoad;
    QCheckBox* chkAlwaysOnTop;
    QLabel* Label3; // "WinZip"
    QLineEdit* txtZip;
    QPushButton* Command5; // ".."
    QPushButton* Command2; // "OK"
    QPushButton* Command1; // "Cancel"
    QListWidget* lstName;
    QListWidget* lstIcon;
    QList<host::LineControl*> Line1;

    Dialog& dialog();
    void appendProfile(const QString& label, const QString& name, const QString& icon);
    void updateAddButton();

    std::unique_ptr<Dialog> m_dialog;
};
