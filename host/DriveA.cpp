#include "DriveA.h"

#include "MountPoints.h"
#include "Prefix.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <unistd.h>

namespace host::DriveA {
namespace {

QSettings configuration() {
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/vortle/vortle.conf"),
                     QSettings::IniFormat);
}

// Replaces the link in one step (a new link beside it, renamed over it), so that other
// programs never see drive A: missing.
bool relink(const QString& linkTarget) {
    const QString entry = driveEntryPath(QLatin1Char('a'));
    if (target() == linkTarget)
        return false;
    const QString beside = entry + QStringLiteral(".new");
    QFile::remove(beside);
    if (!QFile::link(linkTarget, beside))
        return false;
    return std::rename(QFile::encodeName(beside).constData(),
                       QFile::encodeName(entry).constData()) == 0;
}

} // namespace

Mode mode() {
    return configuration().value(QStringLiteral("DriveA/mode")).toString() ==
                   QLatin1String("follow")
               ? Mode::Follow
               : Mode::Fixed;
}

void setMode(Mode mode) {
    QSettings settings = configuration();
    settings.setValue(QStringLiteral("DriveA/mode"),
                      mode == Mode::Follow ? QStringLiteral("follow") : QStringLiteral("fixed"));
}

QString target() {
    char buffer[4096];
    const ssize_t n = ::readlink(QFile::encodeName(driveEntryPath(QLatin1Char('a'))).constData(),
                                 buffer, sizeof buffer);
    return n > 0 ? QFile::decodeName(QByteArray(buffer, int(n))) : QString();
}

void pointAt(const QString& hostFolder) {
    relink(hostFolder);
}

bool follow() {
    const QList<RemovableVolume> volumes = mountedRemovableVolumes();
    return relink(volumes.isEmpty() ? QStringLiteral("../no-medium") : volumes.last().mountPoint);
}

} // namespace host::DriveA
