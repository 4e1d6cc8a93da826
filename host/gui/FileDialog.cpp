// SPDX-License-Identifier: MIT
#include "FileDialog.h"

#include "host/core/CodePage.h"
#include "host/core/DosPath.h"
#include "host/core/Prefix.h"
#include "host/core/RuntimeError.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QUrl>

#include <cstring>
#include <utility>

namespace host {
namespace {

FileDialogHook& currentHook() {
    static FileDialogHook hook;
    return hook;
}

// Windows patterns "*.ico;*.bmp" as Qt's "*.ico *.bmp"; "*.*" matches every file there, also
// one without a dot.
QString qtPatterns(const QString& windowsPatterns) {
    QStringList patterns = windowsPatterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return patterns.join(QLatin1Char(' '));
}

const QString kPictures = QStringLiteral("Pictures (*.ico *.bmp *.png *.svg)");
const QString kPrograms = QStringLiteral("Programs (*)");
const QString kAllFiles = QStringLiteral("All files (*)");

// While "Programs" is the chosen filter, only folders and the files that can be run show.
class ProgramsOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    bool active = false;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!active || !files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }
};

FileDialogRequest readRecord(const OPENFILENAME& ofn, bool save) {
    FileDialogRequest request;
    request.save = save;
    request.record = &ofn;
    if (const char* p = ofn.lpstrFilter) {
        while (*p) {
            const QString description = fromAnsi(p);
            p += std::strlen(p) + 1;
            const QString pattern = fromAnsi(p);
            p += std::strlen(p) + 1;
            request.nameFilters.append(description + QStringLiteral(" (") + qtPatterns(pattern) +
                                       QLatin1Char(')'));
            if (pattern.isEmpty())
                break;
        }
    }
    const QString patterns = request.nameFilters.join(QLatin1Char(' '));
    if (patterns.contains(QLatin1String("*.ico")) || patterns.contains(QLatin1String("*.bmp")))
        request.desktopFilters << kPictures;
    if (patterns.contains(QLatin1String("*.exe")))
        request.desktopFilters << kPrograms;
    if (!patterns.contains(QLatin1String("*)"))) // no filter of the design's takes every file
        request.desktopFilters << kAllFiles;
    const qsizetype index = qsizetype(ofn.nFilterIndex) - 1;
    if (index >= 0 && index < request.nameFilters.size())
        request.selectedNameFilter = request.nameFilters[index];
    request.initialDirectory = QDir::currentPath();
    if (ofn.lpstrInitialDir && *ofn.lpstrInitialDir) {
        try {
            const QString dir = toHostPath(fromAnsi(ofn.lpstrInitialDir));
            if (QFileInfo(dir).isDir())
                request.initialDirectory = dir;
        } catch (const RuntimeError&) {
        }
    }
    if (ofn.lpstrFile)
        request.initialName =
            fromAnsi(QByteArrayView(ofn.lpstrFile, qstrnlen(ofn.lpstrFile, ofn.nMaxFile)));
    return request;
}

std::optional<QString> showDialog(const FileDialogRequest& request) {
    const OPENFILENAME& ofn = *request.record;
    QFileDialog dialog(ofn.hwndOwner,
                       ofn.lpstrTitle
                           ? fromAnsi(ofn.lpstrTitle)
                           : (request.save ? QStringLiteral("Save As") : QStringLiteral("Open")),
                       request.initialDirectory);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode((ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!(ofn.Flags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.nameFilters.isEmpty())
        dialog.setNameFilters(request.nameFilters + request.desktopFilters);
    // In Qt's own dialog (a desktop's native one keeps its own ways): "Programs" shows the
    // files that can be run, and drives A: and C: are places in the sidebar.
    auto* programs = new ProgramsOnly(&dialog);
    dialog.setProxyModel(programs);
    QObject::connect(&dialog, &QFileDialog::filterSelected, programs, [programs](const QString& f) {
        programs->active = f == kPrograms;
        programs->invalidate();
    });
    QList<QUrl> places;
    for (const QChar drive : {QLatin1Char('a'), QLatin1Char('c')}) {
        try {
            places << QUrl::fromLocalFile(driveRoot(drive));
        } catch (const RuntimeError&) {
            // a drive that is not there has no place
        }
    }
    dialog.setSidebarUrls(places + dialog.sidebarUrls());
    if (!request.selectedNameFilter.isEmpty())
        dialog.selectNameFilter(request.selectedNameFilter);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

int runDialog(OPENFILENAME* ofn, bool save) {
    if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0)
        return 0;
    const FileDialogRequest request = readRecord(*ofn, save);
    const std::optional<QString> chosen =
        currentHook() ? currentHook()(request) : showDialog(request);
    if (!chosen || chosen->isEmpty())
        return 0;
    const QFileInfo info(*chosen);
    if ((ofn->Flags & OFN_FILEMUSTEXIST) && !info.isFile())
        return 0;
    if ((ofn->Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) &&
        !QFileInfo(info.absolutePath()).isDir())
        return 0;
    const QByteArray path = toAnsi(toDosPath(*chosen));
    if (std::uint32_t(path.size()) >= ofn->nMaxFile)
        return 0; // the buffer is too small
    std::memcpy(ofn->lpstrFile, path.constData(), size_t(path.size()));
    ofn->lpstrFile[path.size()] = '\0';
    const qsizetype slash = path.lastIndexOf('\\');
    ofn->nFileOffset = std::uint16_t(slash + 1);
    const qsizetype dot = path.lastIndexOf('.');
    ofn->nFileExtension = std::uint16_t(dot > slash ? dot + 1 : 0);
    return 1;
}

} // namespace

int GetOpenFileNameA(OPENFILENAME* ofn) {
    return runDialog(ofn, false);
}
int GetSaveFileNameA(OPENFILENAME* ofn) {
    return runDialog(ofn, true);
}

void setFileDialogHook(FileDialogHook hook) {
    currentHook() = std::move(hook);
}

} // namespace host
