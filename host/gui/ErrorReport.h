// SPDX-License-Identifier: MIT
#pragma once

#include "host/core/RuntimeError.h"

#include <QApplication>

#include <functional>

namespace host {

// Ends the process at once: no window runs its own unload handling. Tests set a hook that
// records the exit code instead; the caller then simply returns.
void endProgram(int exitCode);
using EndProgramHook = std::function<void(int)>;
void setEndProgramHook(EndProgramHook hook);

// Turns whatever an event handler throws into the standard error report (a message box with
// the program's title, "Run-time error 'N':" and the description, then the end of the process
// with a non-zero exit code), so that no exception crosses the event loop.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace host
