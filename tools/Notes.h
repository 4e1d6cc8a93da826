#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// "Notes": the free-text note that the diskette carries in "a:\VRTLNotes.sys".
class Notes : public QWidget {
    Q_OBJECT
public:
    explicit Notes(QWidget* parent = nullptr);

    QPlainTextEdit* txtText;
    QPushButton* Command1;
    QPushButton* Command2;

public slots:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
};
