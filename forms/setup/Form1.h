// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
namespace host {
class DialogKeys;
class LineControl;
} // namespace host

// "Vortle Installation": a two-page wizard that installs the utility from the current
// directory, or removes it again.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    // Creates a directory and every missing level above it, ignoring every failure.
    void Mk_Dir(const QString& bez1);

public slots:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

private:
    QLabel* Picture1;      // the side picture
    QWidget* Picture2;     // the install or uninstall choice
    QLabel* Label5;        // "Do you want to install or uninstall Vortle ?"
    QRadioButton* Option1; // "Install"
    QRadioButton* Option2; // "Uninstall"
    QPushButton* Command2; // "Exit", then "Finish"
    QPushButton* Command1; // "Next >"
    QLineEdit* txtDir;
    QLabel* Label3; // the white top of the strip
    QLabel* Label4; // "Hi and welcome to the setup-utility of Vortle. ..."
    QLabel* lblCurDir;
    QList<host::LineControl*> Line1;
    QLabel* Label2; // "Destination directory"
    QLabel* Label1; // what the installation does

    static QString installSource();
    void finished();
    host::DialogKeys* m_keys;
    bool m_finished = false; // installed or uninstalled: the second button is "Finish"
    void install(const QString& source, const QString& destination, const QString& system);
    void uninstall(const QString& destination, const QString& system);
};
