// SPDX-License-Identifier: MIT
#include "CleanUpCommands.h"

#include "disk/Module1.h"
#include "host/Clipboard.h"
#include "host/FileSystem.h"
#include "host/Process.h"
#include "host/RuntimeError.h"
#include "host/SystemDirs.h"

namespace CleanUpCommands {

void clearDustBin() {
    host::resumeNext([] { host::deleteFiles(kRecyclePattern); });
}

void clearRecentDocs() {
    host::resumeNext([] { host::deleteFiles(kRecentPattern); });
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

} // namespace CleanUpCommands
