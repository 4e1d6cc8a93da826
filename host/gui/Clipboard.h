// SPDX-License-Identifier: MIT
#pragma once

namespace host {

// Clears the desktop's clipboard, every format.
void clearClipboard();

} // namespace host
