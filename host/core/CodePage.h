// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace host {

// Windows-1252 stands in for the system's ANSI code page. Every byte decodes to one character
// (the five bytes the code page leaves undefined map to the C1 controls, as Windows does);
// a character the code page cannot hold is written as '?'.
QByteArray toAnsi(const QString& text);
QString fromAnsi(QByteArrayView bytes);

// The platform's blanks, which a command line and a number in text may carry around their
// parts: space and tab.
inline bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace host
