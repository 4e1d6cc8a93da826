// SPDX-License-Identifier: MIT
#include "MountPoints.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cstdio>
#include <memory>
#include <mntent.h>
#include <pwd.h>
#include <unistd.h>

namespace host {
namespace {

QString userName() {
    if (const passwd* entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

// The mount points (second field) of a table in fstab(5)'s format, as getmntent(3) reads and
// unescapes them (a blank in a mount point is written \040).
QStringList mountPointsOf(const QString& table) {
    QStringList points;
    const std::unique_ptr<FILE, decltype(&::endmntent)> file(
        ::setmntent(QFile::encodeName(table).constData(), "re"), &::endmntent);
    if (!file)
        return points;
    struct mntent entry {};
    char buffer[8192];
    while (::getmntent_r(file.get(), &entry, buffer, sizeof buffer))
        points.append(QDir::cleanPath(QFile::decodeName(entry.mnt_dir)));
    return points;
}

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}

// Where removable media are mounted: /media/$USER, /media and /run/media/$USER, or the folders
// that VORTLE_MEDIA_ROOTS lists (separated by colons), which tests use.
QStringList removableMediaRoots() {
    const QString injected = qEnvironmentVariable("VORTLE_MEDIA_ROOTS");
    if (!injected.isEmpty())
        return injected.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const QString user = userName();
    return {QStringLiteral("/media/") + user, QStringLiteral("/media"),
            QStringLiteral("/run/media/") + user};
}

} // namespace

bool isKnownMountPoint(const QString& canonicalDir) {
    const QString parent = QFileInfo(canonicalDir).path();
    for (const QString& root : removableMediaRoots()) {
        if (canonical(root) == parent)
            return true;
    }
    QString fstab = qEnvironmentVariable("VORTLE_FSTAB");
    if (fstab.isEmpty())
        fstab = QStringLiteral("/etc/fstab");
    for (const QString& point : mountPointsOf(fstab)) {
        if (point != QLatin1String("/") && canonical(point) == canonicalDir)
            return true;
    }
    return false;
}

QStringList mountedPoints() {
    // This process's mount table, in the order the mounts were made.
    return mountPointsOf(QStringLiteral("/proc/self/mounts"));
}

bool isMounted(const QString& canonicalDir) {
    return mountedPoints().contains(canonicalDir);
}

QList<RemovableVolume> mountedRemovableVolumes() {
    QStringList roots;
    for (const QString& root : removableMediaRoots())
        roots << canonical(root);
    // The mount table lists mounts in the order they were made; a mount point mounted over again
    // counts once, at its latest place.
    const QStringList points = mountedPoints();
    QList<RemovableVolume> volumes;
    for (int order = 0; order < points.size(); ++order) {
        const QString& point = points[order];
        if (!roots.contains(QFileInfo(point).path()))
            continue;
        volumes.removeIf([&](const RemovableVolume& v) { return v.mountPoint == point; });
        const QStorageInfo storage(point);
        volumes.append({point, QFileInfo(point).fileName(), storage.bytesTotal(), order});
    }
    return volumes;
}

} // namespace host
