// SPDX-License-Identifier: MIT
#include "DesktopFolders.h"

#include "DosPath.h"
#include "Fd.h"
#include "Prefix.h"
#include "RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QXmlStreamWriter>

#include <unistd.h>

namespace host {
namespace {

QString dataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

bool desktopFoldersWanted() {
    const QSettings configuration(configurationPath(), QSettings::IniFormat);
    return configuration.value(QStringLiteral("DriveC/desktopFolders"), true).toBool();
}

// Deletes a regular file of the desktop's, never a folder and never through a link.
bool removeRegularFile(const QString& path) {
    const std::optional<struct stat> st = statOf(QFile::encodeName(path), false);
    return st && S_ISREG(st->st_mode) && ::unlink(QFile::encodeName(path).constData()) == 0;
}

} // namespace

void linkDesktopFolders() {
    if (!desktopFoldersWanted())
        return;
    const struct {
        const char* dosPath;
        QStandardPaths::StandardLocation location;
    } folders[] = {{"c:\\My Documents", QStandardPaths::DocumentsLocation},
                   {"c:\\windows\\desktop", QStandardPaths::DesktopLocation}};
    for (const auto& folder : folders) {
        const QString target = QStandardPaths::writableLocation(folder.location);
        if (target.isEmpty() || !QFileInfo(target).isDir() ||
            QFileInfo(target).canonicalFilePath() ==
                QFileInfo(QDir::homePath()).canonicalFilePath())
            continue;
        resumeNext([&] {
            // Any spelling of the name that is there already is kept, folder or link.
            const QString entry = toHostPath(QString::fromLatin1(folder.dosPath));
            if (!entryExists(entry))
                QFile::link(target, entry);
        });
    }
}

void emptyDesktopTrashFiles() {
    const QString trash = dataHome() + QStringLiteral("/Trash");
    const QStringList names =
        QDir(trash + QStringLiteral("/files"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (removeRegularFile(trash + QStringLiteral("/files/") + name))
            removeRegularFile(trash + QStringLiteral("/info/") + name +
                              QStringLiteral(".trashinfo"));
    }
}

void clearDesktopRecentList() {
    const QString list = dataHome() + QStringLiteral("/recently-used.xbel");
    if (QFileInfo::exists(list)) {
        QSaveFile file(list);
        if (!file.open(QIODevice::WriteOnly))
            raise(ErrPathFileAccess);
        QXmlStreamWriter xml(&file);
        xml.setAutoFormatting(true);
        xml.writeStartDocument();
        xml.writeStartElement(QStringLiteral("xbel"));
        xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
        xml.writeNamespace(QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks"),
                           QStringLiteral("bookmark"));
        xml.writeNamespace(QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"),
                           QStringLiteral("mime"));
        xml.writeEndElement();
        xml.writeEndDocument();
        if (xml.hasError() || !file.commit())
            raise(ErrPathFileAccess);
    }
    const QString kde = dataHome() + QStringLiteral("/RecentDocuments");
    for (const QString& name : QDir(kde).entryList({QStringLiteral("*.desktop")},
                                                   QDir::Files | QDir::Hidden | QDir::System))
        removeRegularFile(kde + QLatin1Char('/') + name);
}

} // namespace host
