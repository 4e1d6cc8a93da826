// SPDX-License-Identifier: MIT
#pragma once

// Stand-ins for the host layer's two hooks that a test must not let through: message boxes
// (recorded and answered) and the end of the program.
#include "host/gui/MessageBox.h"

#include <QList>
#include <QStringList>

// Records every message box and answers with a queue of answers (default: the box's default).
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    QList<host::MessageBoxRequest> boxes;
    QList<int> answers;
    QStringList prompts() const;
};

// Records endProgram calls instead of ending the test process.
class EndProgramRecorder {
public:
    EndProgramRecorder();
    ~EndProgramRecorder();
    QList<int> exitCodes;
};
