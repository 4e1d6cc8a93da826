// SPDX-License-Identifier: MIT
#pragma once

#include "host/core/Location.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// "Notes": the free-text note that the diskette carries in "a:\VRTLNotes.sys".
class Notes : public QWidget {
    Q_OBJECT
public:
    explicit Notes(QWidget* parent = nullptr);

    // A note longer than the window shows fills it as far as it goes; OK then asks before it
    // replaces the whole note.
    void Form_Load();

public slots:
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* txtText;
    QPushButton* Command1; // "Cancel"
    QPushButton* Command2; // "OK"

    host::Medium m_medium; // the medium the note was read from; none without a diskette
    bool m_noteCutShort = false;
};
