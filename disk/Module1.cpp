#include "Module1.h"

#include "DiskSettings.h"
#include "MkDir.h"

#include "host/DosPath.h"
#include "host/FileSystem.h"
#include "host/MessageBox.h"
#include "host/Picture.h"
#include "host/Process.h"
#include "host/RuntimeError.h"
#include "storage/RecordFile.h"

#include <QLabel>
#include <QStringList>

#include <QPointer>
#include <algorithm>

namespace Module1 {
namespace {

QPointer<QLabel> g_picIcon;
QPointer<QLabel> g_picNoDisk;

void runAction(const DiskSettings::Action& action) {
    using namespace DiskSettings;
    if (action.kind == kCreateDirectory) {
        Mk_Dir(action.firstPath);
    } else if (action.kind == kCopyFile) {
        host::copyFile(action.firstPath, action.secondPath);
    } else if (action.kind == kMoveFile) {
        // The source goes only once the copy is complete and in place.
        host::copyFile(action.firstPath, action.secondPath);
        host::deleteFiles(action.firstPath);
    } else if (action.kind == kDeleteFile) {
        host::deleteFiles(action.firstPath);
    } else if (action.kind == kExecuteFile) {
        host::startProcess(action.firstPath, 1);
    }
    // Any other kind code is passed over.
}

// Whether an action changes something on drive A: (a relative path counts when the current
// directory is there).
bool writesToDriveA(const DiskSettings::Action& action) {
    using namespace DiskSettings;
    QStringList written;
    if (action.kind == kCreateDirectory || action.kind == kDeleteFile)
        written = {action.firstPath};
    else if (action.kind == kCopyFile)
        written = {action.secondPath};
    else if (action.kind == kMoveFile)
        written = {action.firstPath, action.secondPath};
    return std::any_of(written.begin(), written.end(), [](const QString& path) {
        try {
            return host::parseDosPath(path).drive == QLatin1Char('a');
        } catch (const host::RuntimeError&) {
            return false;
        }
    });
}

} // namespace

bool CheckDrive(const QString& drive) {
    const QString letter = drive.left(1);
    try {
        host::findFirstFile(letter + QStringLiteral(":\\*.*"), host::AttrNormal);
    } catch (const host::RuntimeError& error) {
        if (error.number() == host::ErrDeviceUnavailable)
            host::MsgBox(QStringLiteral("Laufwerk nicht vorhanden."), host::MB_OK, kTitle);
        else if (error.number() == host::ErrDiskNotReady)
            host::MsgBox(QStringLiteral("Keine Diskette in Laufwerk ") + letter.toUpper() +
                             QStringLiteral(":"),
                         host::MB_OK, kTitle);
        return false;
    }
    // What a killed run left on the medium would silently fill it.
    host::resumeNext([&] { host::removeStaleTemporaries(letter + QStringLiteral(":\\")); });
    return true;
}

void setDiskDisplay(QLabel* picIcon, QLabel* picNoDisk) {
    g_picIcon = picIcon;
    g_picNoDisk = picNoDisk;
}

QPixmap diskIconPicture() {
    return g_picIcon ? g_picIcon->pixmap() : QPixmap();
}

void setDiskIdentity(const QPixmap& picture, const QString& name) {
    if (!g_picIcon)
        return;
    g_picIcon->setPixmap(picture);
    g_picIcon->setToolTip(name);
}

void ReloadDiskSettings() {
    if (CheckDrive(QStringLiteral("a:"))) {
        QString diskName;
        host::resumeNext([&] {
            storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
                diskName = storage::GetRecord(file, DiskSettings::kNameRecord).toText();
            });
        });
        if (g_picIcon)
            g_picIcon->setToolTip(diskName);
        host::resumeNext([&] {
            const QPixmap picture = host::LoadPicture(DiskSettings::kIconPath);
            if (g_picIcon)
                g_picIcon->setPixmap(picture);
        });
    } else if (g_picIcon) {
        if (g_picNoDisk)
            g_picIcon->setPixmap(g_picNoDisk->pixmap());
        g_picIcon->setToolTip(QStringLiteral("Reload Disk-Settings"));
    }
}

void ExecuteLink() {
    if (!CheckDrive(QStringLiteral("a:"))) {
        host::MsgBox(QStringLiteral("There's no disk in the drive."), host::MB_ICONCRITICAL,
                     kTitle);
        return;
    }
    bool wroteToDriveA = false;
    bool failed = false;
    try {
        storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
            for (int i = 0; i < DiskSettings::kMaxActions; ++i) {
                const DiskSettings::Action action = DiskSettings::readAction(file, i);
                if (action.kind.isEmpty())
                    break;
                wroteToDriveA = wroteToDriveA || writesToDriveA(action);
                runAction(action);
            }
        });
    } catch (const host::RuntimeError&) {
        failed = true;
    }
    // What the run wrote on the diskette is on it before anything is reported.
    if (wroteToDriveA)
        host::resumeNext([] { host::syncDrive(QLatin1Char('a')); });
    if (failed)
        host::MsgBox(QStringLiteral("Couldn't execute action."), host::MB_ICONCRITICAL, kTitle);
}

} // namespace Module1
