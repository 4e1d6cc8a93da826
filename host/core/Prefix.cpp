// SPDX-License-Identifier: MIT
#include "Prefix.h"

#include "DesktopFolders.h"
#include "DosPath.h"
#include "MountPoints.h"
#include "RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <dirent.h>

namespace host {
namespace {

void linkIfMissing(const QString& entry, const QString& target) {
    if (!entryExists(entry))
        QFile::link(target, entry);
}

// The launcher behind "c:\windows\explorer a:\": the process start hands the drive over as
// its host folder, which the desktop's file manager opens.
constexpr char kExplorerScript[] = "#!/bin/sh\n"
                                   "# Opens a folder in the desktop's file manager.\n"
                                   "exec xdg-open \"${1:-.}\"\n";

void writeExplorerIfMissing(const QString& windowsDir) {
    if (!matchEntry(windowsDir, QStringLiteral("explorer")).isEmpty())
        return;
    const QString path = windowsDir + QStringLiteral("/explorer");
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return;
    script.write(kExplorerScript);
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

} // namespace

QString installedFile(const QStringList& candidates) {
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString& candidate : candidates) {
        const QFileInfo file(here + QLatin1Char('/') + candidate);
        if (file.isFile())
            return file.canonicalFilePath();
    }
    return QString();
}

QString prefixPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vortle");
}

QString configurationPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vortle/vortle.conf");
}

QString dosDevicesPath() {
    return prefixPath() + QStringLiteral("/dosdevices");
}

QString driveEntryPath(QChar letter) {
    return dosDevicesPath() + QLatin1Char('/') + letter.toLower() + QLatin1Char(':');
}

void ensurePrefix() {
    const QString prefix = prefixPath();
    QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
    QDir().mkpath(prefix + QStringLiteral("/drive_a"));
    QDir().mkpath(prefix + QStringLiteral("/drive_c"));
    linkIfMissing(driveEntryPath(QLatin1Char('a')), QStringLiteral("../drive_a"));
    linkIfMissing(driveEntryPath(QLatin1Char('c')), QStringLiteral("../drive_c"));
    linkIfMissing(driveEntryPath(QLatin1Char('z')), QStringLiteral("/"));

    // The folders go where c: points now, which need not be drive_c, and take the spelling
    // that tree already has (a drive copied from another machine holds WINDOWS\SYSTEM).
    try {
        for (const char* folder : {"c:\\windows\\system", "c:\\windows\\recent", "c:\\recycled"})
            QDir().mkpath(toHostPath(QString::fromLatin1(folder)));
        writeExplorerIfMissing(toHostPath(QStringLiteral("c:\\windows")));
    } catch (const RuntimeError&) {
        // c: is missing or not ready: the programs report it when they use it.
    }
    linkDesktopFolders();
}

QString driveRoot(QChar letter) {
    const QString entry = driveEntryPath(letter);
    if (!letter.isLetter() || !entryExists(entry))
        raise(ErrDeviceUnavailable);
    const QFileInfo target(entry);
    if (!target.exists() || !target.isDir())
        raise(ErrDiskNotReady);
    DIR* listing = ::opendir(QFile::encodeName(entry).constData());
    if (!listing)
        raise(ErrDiskNotReady);
    ::closedir(listing);
    // A mount point whose medium is not mounted is an empty folder of the host: reading it
    // as an empty diskette would write the diskette's files beneath the mount point.
    const QString root = target.canonicalFilePath();
    if (isKnownMountPoint(root) && !isMounted(root))
        raise(ErrDiskNotReady);
    return root;
}

} // namespace host
