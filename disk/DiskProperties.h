#pragma once

#include <QList>
#include <QWidget>

#include <memory>

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

    QTabBar* Tab1;
    QWidget* picName;
    QPushButton* Command6;
    QLabel* Label1;
    QLineEdit* txtName;
    QList<host::LineControl*> Line1;
    QLabel* Label2;
    QLineEdit* txtIcon;
    QLabel* picIcon;
    QPushButton* Command3;
    QWidget* picEL;
    QLabel* Label3;
    QListWidget* lstActions;
    QPushButton* Command4;
    QPushButton* Command7;
    QPushButton* Command5;
    QPushButton* Command2;
    QPushButton* Command1;
    QListWidget* lstMode;
    QListWidget* lstExec1;
    QListWidget* lstExec2;
    QLabel* lblMode;
    QMenu* mnuProfiles;
    QList<QAction*> mnuProfile;

    // Appends one action to the four lists.
    void appendAction(const QString& kind, const QString& firstPath, const QString& secondPath);

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

private:
    QAction* addProfileItem();
    void saveSettings();
    void closeOpenEditor();

    std::unique_ptr<Dialog> m_dialog; // created the first time "Search" is used
};
