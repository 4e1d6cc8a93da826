// SPDX-License-Identifier: MIT
#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace host {

void clearClipboard() {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->clear(QClipboard::Clipboard);
}

} // namespace host
