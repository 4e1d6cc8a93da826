// SPDX-License-Identifier: MIT
#include "DosPath.h"

#include "Location.h"
#include "Prefix.h"
#include "RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace host {
namespace {

QStringList splitComponents(QStringView rest) {
    QStringList parts;
    QString current;
    for (QChar c : rest) {
        if (isPathSeparator(c)) {
            if (!current.isEmpty())
                parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        parts.append(current);
    return parts;
}

void appendResolved(QStringList& into, const QStringList& parts) {
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!into.isEmpty())
                into.removeLast();
            continue;
        }
        into.append(part);
    }
}

// The current directory taken apart; a working directory under no drive counts as under z:.
// A working directory that cannot be named (deeper than the host's path limit, or removed)
// is 76: a relative path must never fall back to the root of the host.
QString currentHostDirectory() {
    const QString cwd = QDir::currentPath();
    if (cwd.isEmpty())
        raise(ErrPathNotFound);
    return cwd;
}

DosPath currentDosPath() {
    const QString dos = toDosPath(currentHostDirectory());
    DosPath cwd;
    if (dos.size() >= 2 && dos[1] == QLatin1Char(':')) {
        cwd.drive = dos[0];
        cwd.components = splitComponents(QStringView(dos).mid(2));
    } else {
        cwd.drive = QLatin1Char('z');
        cwd.components = splitComponents(dos);
    }
    return cwd;
}

// What DOS refuses in a path: a ':' but right after a leading drive letter, a start with two
// separators (UNC, "\\?\", "\\.\"), '<', '>', '|' and '"' anywhere, and wildcards above the
// last component (they may stand only where a name is matched).
bool isMalformed(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0)))
        return true;
    if (path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1]))
        return true;
    const qsizetype lastSeparator =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if ((c == QLatin1Char(':') && i != 1) || c == QLatin1Char('<') || c == QLatin1Char('>') ||
            c == QLatin1Char('|') || c == QLatin1Char('"'))
            return true;
        if ((c == QLatin1Char('*') || c == QLatin1Char('?')) && i < lastSeparator)
            return true;
    }
    return false;
}

} // namespace

bool isPathSeparator(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

bool namesDrive(const QString& path) {
    return path.size() >= 2 && path[1] == QLatin1Char(':');
}

qsizetype rootLength(const QString& path) {
    if (namesDrive(path))
        return path.size() >= 3 && isPathSeparator(path[2]) ? 3 : 0;
    return !path.isEmpty() && isPathSeparator(path[0]) ? 1 : 0;
}

QString DosPath::toString() const {
    return QString(drive) + QStringLiteral(":\\") + components.join(QLatin1Char('\\'));
}

DosPath parseDosPath(const QString& path) {
    if (isMalformed(path))
        raise(ErrBadFileNameOrNumber);

    DosPath result;
    QStringView rest(path);
    const bool hasDrive = namesDrive(path);
    if (hasDrive) {
        if (!path[0].isLetter() || path[0].unicode() > 0x7f)
            raise(ErrBadFileNameOrNumber);
        result.drive = path[0].toLower();
        rest = rest.mid(2);
    }

    const bool fromRoot = !rest.isEmpty() && isPathSeparator(rest.front());
    if (!fromRoot) {
        // Relative to the current directory, when that lies on the same drive.
        const DosPath cwd = currentDosPath();
        if (!hasDrive || cwd.drive == result.drive) {
            result.drive = cwd.drive;
            result.components = cwd.components;
        }
    } else if (!hasDrive) {
        result.drive = currentDosPath().drive;
    }
    appendResolved(result.components, splitComponents(rest));
    return result;
}

bool isNameWindowsCannotHold(const QString& name) {
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return true;
    const QString device = name.section(QLatin1Char('.'), 0, 0).toUpper();
    if (device == QLatin1String("CON") || device == QLatin1String("PRN") ||
        device == QLatin1String("AUX") || device == QLatin1String("NUL"))
        return true;
    return device.size() == 4 &&
           (device.startsWith(QLatin1String("COM")) || device.startsWith(QLatin1String("LPT"))) &&
           device[3] >= QLatin1Char('1') && device[3] <= QLatin1Char('9');
}

bool isOnMedium(const DosPath& path) {
    return path.drive == QLatin1Char('a');
}

bool entryExists(const QString& hostPath) {
    struct stat st {};
    return ::lstat(QFile::encodeName(hostPath).constData(), &st) == 0;
}

QString matchEntry(const QString& hostDir, const QString& name) {
    const UniqueFd folder(
        ::open(QFile::encodeName(hostDir).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return folder.fd < 0 ? QString() : QFile::decodeName(matchName(folder.fd, name));
}

QString toHostPath(const DosPath& path) {
    const Location at = Location::of(path);
    // "a:\up" with "up" -> "../.." on the medium would name the user's own files.
    if (at.onMedium() && !at.name().isEmpty() && !at.status(LastLink::Follow) &&
        leadsOffTheMedium(errno))
        raise(ErrPathFileAccess);
    return at.hostPath();
}

QString toHostPath(const QString& dosPath) {
    return toHostPath(parseDosPath(dosPath));
}

QString toDosPath(const QString& hostPath) {
    QFileInfo info(QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(hostPath)));
    QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty()) {
        // A path that does not exist yet: canonicalise its directory and keep the name.
        const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
        canonical =
            dir.isEmpty() ? info.absoluteFilePath() : dir + QLatin1Char('/') + info.fileName();
    }

    QChar bestDrive;
    QString bestRoot;
    const QStringList entries = QDir(dosDevicesPath()).entryList(QDir::AllEntries | QDir::System);
    for (const QString& entry : entries) {
        if (entry.size() != 2 || entry[1] != QLatin1Char(':') || !entry[0].isLetter())
            continue;
        const QString root =
            QFileInfo(dosDevicesPath() + QLatin1Char('/') + entry).canonicalFilePath();
        if (root.isEmpty())
            continue;
        const bool under = canonical == root || root == QLatin1String("/") ||
                           canonical.startsWith(root + QLatin1Char('/'));
        if (under && root.size() > bestRoot.size()) {
            bestRoot = root;
            bestDrive = entry[0].toLower();
        }
    }
    if (bestRoot.isEmpty())
        return canonical;

    QString rel = canonical.mid(bestRoot.size());
    if (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    rel.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QString(bestDrive) + QStringLiteral(":\\") + rel;
}

QString currentDirectory() {
    return toDosPath(currentHostDirectory());
}

} // namespace host
