#include "Module1.h"

#include "DiskSettings.h"
#include "MkDir.h"

#include "host/FileSystem.h"
#include "host/MessageBox.h"
#include "host/Picture.h"
#include "host/Process.h"
#include "host/RuntimeError.h"
#include "storage/RecordFile.h"

#include <QLabel>
#include <QPointer>

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
    try {
        storage::withRecordFile(DiskSettings::kSettingsPath, [](int file) {
            for (int i = 0; i < DiskSettings::kMaxActions; ++i) {
                const DiskSettings::Action action = DiskSettings::readAction(file, i);
                if (action.kind.isEmpty())
                    break;
                runAction(action);
            }
        });
    } catch (const host::RuntimeError&) {
        host::MsgBox(QStringLiteral("Couldn't execute action."), host::MB_ICONCRITICAL, kTitle);
    }
}

} // namespace Module1
