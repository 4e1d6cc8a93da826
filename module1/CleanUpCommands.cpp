// SPDX-License-Identifier: MIT
#include "CleanUpCommands.h"

#include "Module1.h"
#include "host/core/DesktopFolders.h"
#include "host/core/FileSystem.h"
#include "host/core/Process.h"
#include "host/core/RuntimeError.h"
#include "host/core/SystemDirs.h"
#include "host/gui/Clipboard.h"

namespace vortle::CleanUpCommands {

// c:\recycled and c:\windows\recent stand for the desktop's trash and recent list too.
void clearDustBin() {
    host::resumeNext([] { host::deleteFiles(kRecyclePattern); });
    host::resumeNext([] { host::emptyDesktopTrashFiles(); });
}

void clearRecentDocs() {
    host::resumeNext([] { host::deleteFiles(kRecentPattern); });
    host::resumeNext([] { host::clearDesktopRecentList(); });
}

void clearClipboard() {
    host::clearClipboard();
}

void openInExplorer() {
    if (!Module1::diskInserted())
        return;
    const QString directory = host::WindowsDirectory();
    host::resumeNext([&] { host::startProcess(directory + QStringLiteral("explorer a:\\"), 1); });
}

} // namespace vortle::CleanUpCommands
