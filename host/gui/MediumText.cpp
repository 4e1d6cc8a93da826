// SPDX-License-Identifier: MIT
#include "MediumText.h"

namespace host {
namespace {

bool changesDirectionOrLines(char16_t c) {
    return c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

} // namespace

QString mediumText(const QString& text) {
    QString shown;
    shown.reserve(text.size() + 2);
    shown += QChar(0x2068); // first strong isolate
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20)
            shown += QChar(0x2400 + u); // the control pictures block
        else if (u == 0x7f)
            shown += QChar(0x2421);
        else if ((u >= 0x80 && u < 0xa0) || changesDirectionOrLines(u))
            shown += QChar(QChar::ReplacementCharacter);
        else
            shown += c;
    }
    shown += QChar(0x2069); // pop directional isolate
    return shown;
}

} // namespace host
