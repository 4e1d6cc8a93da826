// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace host {

// A text that a medium brought (a disk name, a label, a path of a list) as the program shows
// it: isolated from the text around it (U+2068 ... U+2069), so that a right-to-left override
// in it cannot turn the program's own words round, and with its control characters shown as
// what they are (a TAB as U+2409, a line feed as U+240A; other controls, bidirectional marks
// and line separators as U+FFFD), so that it cannot add a column, a line or a direction.
QString mediumText(const QString& text);

} // namespace host
