// SPDX-License-Identifier: MIT
#pragma once

#include "host/core/RuntimeError.h"

#include <QApplication>

#include <functional>

namespace host {

// "Run-time error 'N':", a blank line, the description.
QString errorReportText(const RuntimeError& error);

// The standard error report: a message box with the program's title, then the end of the
// process with a non-zero exit code.
void reportFatalError(const RuntimeError& error);

// Ends the process at once: no window runs its own unload handling. Tests set a hook that
// records the exit code instead; the caller then simply returns.
void endProgram(int exitCode);
using EndProgramHook = std::function<void(int)>;
void setEndProgramHook(EndProgramHook hook);

// Turns whatever an event handler throws into the standard error report, so that no exception
// crosses the event loop.
void reportException(std::exception_ptr exception);

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace host
