// SPDX-License-Identifier: MIT
#include "ErrorReport.h"

#include "MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>

namespace host {
namespace {

EndProgramHook& currentEndHook() {
    static EndProgramHook hook;
    return hook;
}

// "Run-time error 'N':", a blank line, the description.
QString errorReportText(const RuntimeError& error) {
    return QStringLiteral("Run-time error '%1':\n\n%2")
        .arg(error.number())
        .arg(error.description());
}

// The standard error report: a message box with the program's title, then the end of the
// process with a non-zero exit code.
void reportFatalError(const RuntimeError& error) {
    MsgBox(errorReportText(error), MB_ICONCRITICAL, QCoreApplication::applicationName());
    endProgram(1);
}

// Turns whatever an event handler throws into the standard error report.
void reportException(std::exception_ptr exception) {
    try {
        std::rethrow_exception(std::move(exception));
    } catch (const RuntimeError& error) {
        reportFatalError(error);
    } catch (const std::bad_alloc&) {
        reportFatalError(RuntimeError(ErrOutOfMemory));
    } catch (...) {
        reportFatalError(RuntimeError(ErrInternal));
    }
}

} // namespace

void endProgram(int exitCode) {
    if (currentEndHook()) {
        currentEndHook()(exitCode);
        return;
    }
    std::fflush(nullptr);
    // A thread that waits on a medium whose driver never answers keeps the process, and with
    // it everything the process holds, until the driver does: the windows (the connection to
    // the display) and the files go now, the rest when the kernel lets that thread go.
    ::close_range(3, ~0U, 0);
    std::_Exit(exitCode);
}

void setEndProgramHook(EndProgramHook hook) {
    currentEndHook() = std::move(hook);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportException(std::current_exception());
        return true;
    }
}

} // namespace host
