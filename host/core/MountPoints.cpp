// SPDX-License-Identifier: MIT
#include "MountPoints.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <pwd.h>
#include <unistd.h>

namespace host {
namespace {

QString userName() {
    if (const passwd* entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

// The mount tables escape blanks, tabs, newlines and backslashes as octal (\040).
QString unescapeMountField(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QFile::decodeName(out);
}

// The given field (from 0) of each line of a table, unescaped; lines starting with '#' skipped.
QStringList tableColumn(const QString& path, int column) {
    QStringList values;
    QFile table(path);
    if (!table.open(QIODevice::ReadOnly))
        return values;
    // A mount table is small; more than a megabyte is no table.
    const QByteArray contents = table.read(1 << 20);
    for (const QByteArray& line : contents.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#'))
            continue;
        const QList<QByteArray> fields = trimmed.simplified().split(' ');
        if (fields.size() > column)
            values.append(QDir::cleanPath(unescapeMountField(fields[column])));
    }
    return values;
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
    for (const QString& point : tableColumn(fstab, 1)) {
        if (point != QLatin1String("/") && canonical(point) == canonicalDir)
            return true;
    }
    return false;
}

QStringList mountedPoints() {
    // mountinfo: the fifth field is the mount point as this process sees it.
    return tableColumn(QStringLiteral("/proc/self/mountinfo"), 4);
}

bool isMounted(const QString& canonicalDir) {
    return mountedPoints().contains(canonicalDir);
}

QList<RemovableVolume> mountedRemovableVolumes() {
    QStringList roots;
    for (const QString& root : removableMediaRoots())
        roots << canonical(root);
    // mountinfo lists mounts in the order they were made; a mount point mounted over again
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
