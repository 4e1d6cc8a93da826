// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace host {

// What a program says of itself before it opens a window; both programs carry the version
// of the build.
struct ProgramIdentity {
    QString name;            // the command, "vortle"
    const char* description; // one line for --help, marked with QT_TRANSLATE_NOOP("CommandLine")
};

// Answers --help and --version, and refuses to start without a display to show windows on
// (saying how to start under xvfb-run instead of aborting in the platform plugin). Returns the
// exit code when the program should end at once, nothing when it should go on.
std::optional<int> handleCommandLine(int argc, char** argv, const ProgramIdentity& identity);

} // namespace host
