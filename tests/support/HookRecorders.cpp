// SPDX-License-Identifier: MIT
#include "HookRecorders.h"

#include "host/gui/ErrorReport.h"

MessageBoxRecorder::MessageBoxRecorder() {
    host::setMessageBoxHook([this](const host::MessageBoxRequest& request) {
        boxes.append(request);
        return answers.isEmpty() ? host::defaultAnswer(request.style) : answers.takeFirst();
    });
}

QStringList MessageBoxRecorder::prompts() const {
    QStringList list;
    for (const host::MessageBoxRequest& box : boxes)
        list << box.prompt;
    return list;
}

MessageBoxRecorder::~MessageBoxRecorder() {
    host::setMessageBoxHook({});
}

EndProgramRecorder::EndProgramRecorder() {
    host::setEndProgramHook([this](int code) { exitCodes.append(code); });
}

EndProgramRecorder::~EndProgramRecorder() {
    host::setEndProgramHook({});
}
