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

    // When the note cannot be shown (it is too large), the window does not open, so nothing can
    // write over the note.
    void Form_Load();

public slots:
    void Command1_Click();
    void Command2_Click();

private:
    QPlainTextEdit* txtText;
    QPushButton* Command1; // "Cancel"
    QPushButton* Command2; // "OK"

    host::Medium m_medium; // the medium the note was read from; none without a diskette
};
