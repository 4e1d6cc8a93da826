#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace host {
class DialogKeys;
}

// "Add an action": a two-page wizard that adds an action to the disk properties window's lists
// or changes the selected one, as that window's lblMode says ("Add" or "Edit").
class AddAction : public QWidget {
    Q_OBJECT
public:
    explicit AddAction(QWidget* parent = nullptr);

    QLabel* lblAction;
    QListWidget* lstActions;
    QWidget* picFillOut;
    QLabel* lblExec1;
    QLineEdit* txtExec1;
    QLabel* lblExec2;
    QLineEdit* txtExec2;
    QPushButton* Command1;
    QPushButton* Command2;

public slots:
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void commit();
    host::DialogKeys* m_keys;
    bool m_filledIn = false; // "Next >" was pressed: "Close" commits
};
