#include "CleanUpCommands.h"

#include "disk/Module1.h"
#include "host/Clipboard.h"
#include "host/FileSystem.h"
#include "host/MessageBox.h"
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

QString WindowsDirectory() {
    QByteArray buffer(255, ' ');
    const unsigned length = host::GetWindowsDirectoryA(buffer.data(), unsigned(buffer.size()));
    QString directory = QString::fromLatin1(buffer.left(length < 255 ? int(length) : 0)).toLower();
    if (!directory.endsWith(QLatin1Char('\\')))
        directory += QLatin1Char('\\');
    return directory;
}

void openInExplorer() {
    if (!Module1::CheckDrive(QStringLiteral("a:"))) {
        host::MsgBox(QStringLiteral("No disk inserted."), host::MB_ICONCRITICAL, Module1::kTitle);
        return;
    }
    const QString directory = WindowsDirectory();
    host::resumeNext([&] { host::startProcess(directory + QStringLiteral("explorer a:\\"), 1); });
}

} // namespace CleanUpCommands
