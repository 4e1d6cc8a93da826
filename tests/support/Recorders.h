// SPDX-License-Identifier: MIT
#pragma once

#include "host/MessageBox.h"

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
