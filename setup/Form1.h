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

    QLabel* Picture1;
    QWidget* Picture2;
    QLabel* Label5;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QPushButton* Command2;
    QPushButton* Command1;
    QLineEdit* txtDir;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* lblCurDir;
    QList<host::LineControl*> Line1;
    QLabel* Label2;
    QLabel* Label1;

    // Creates a directory and every missing level above it, ignoring every failure.
    void Mk_Dir(const QString& bez1);

public slots:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

private:
    static QString installSource();
    void finished();
    host::DialogKeys* m_keys;
    bool m_finished = false; // installed or uninstalled: the second button is "Finish"
    void install(const QString& source, const QString& destination, const QString& system);
    void uninstall(const QString& destination, const QString& system);
};
