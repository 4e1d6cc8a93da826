// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace host {

// Splits the arguments that follow the program by the platform's rules: blanks separate,
// double quotes group, 2n backslashes before a quote give n and the quote groups, 2n + 1 give
// n and a literal quote, and "" inside quotes is a literal quote.
QStringList splitArguments(QStringView text);

// Starts a command line detached and does not wait; the window style (1: normal, activated)
// is the desktop's business. The program is found as a DOS path, as a host path, in the
// current, system and windows directories, or on PATH; an unquoted program path with blanks
// is tried prefix by prefix. Arguments that are DOS paths on a mapped drive are handed over as
// host paths. A program that cannot be started is error 53. Started while the thread holds a
// medium (an Execute Link run), it works in that medium's root; otherwise in the program's own
// working directory.
void startProcess(const QString& commandLine, int windowStyle);

} // namespace host
