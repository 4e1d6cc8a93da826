// SPDX-License-Identifier: MIT
#include "DriveMenu.h"

#include "host/core/MountPoints.h"
#include "host/core/MountWatcher.h"
#include "host/core/Prefix.h"
#include "host/gui/MediumText.h"
#include "host/gui/MessageBox.h"
#include "host/media/DriveA.h"
#include "module1/Module1.h"

#include <QActionGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QTimer>
#include <QWidget>

namespace vortle {

namespace {

// Mount events come in bursts (a stick with two partitions, a remount): one refresh for all.
constexpr int kSettleMs = 200;

} // namespace

DriveMenu::DriveMenu(QWidget* window)
    : QObject(window), m_window(window), m_menu(new QMenu(window)),
      m_mounts(new host::MountWatcher(this)) {
    m_menu->setObjectName(QStringLiteral("mnuDriveA"));
    auto* settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(kSettleMs);
    connect(m_mounts, &host::MountWatcher::mountsChanged, settle, qOverload<>(&QTimer::start));
    connect(settle, &QTimer::timeout, this, &DriveMenu::mountsChanged);
}

void DriveMenu::start() {
    if (host::DriveA::mode() == host::DriveA::Mode::Follow)
        host::DriveA::follow();
}

void DriveMenu::mountsChanged() {
    if (host::DriveA::mode() == host::DriveA::Mode::Follow)
        host::DriveA::follow();
    Module1::RefreshDiskDisplayIfMediumChanged();
}

void DriveMenu::popup(const QPoint& globalPos) {
    using host::DriveA::Mode;
    m_menu->clear();
    m_menu->addSection(tr("Drive A:"));
    // One choice of several: radio items.
    auto* choices = new QActionGroup(m_menu);
    const bool following = host::DriveA::mode() == Mode::Follow;
    const QString current = host::DriveA::target();
    bool matched = following;
    const QLocale locale;
    for (const host::RemovableVolume& volume : host::DriveA::removableVolumes()) {
        // A label is the medium's own: an "&" in it is a character, not a shortcut.
        QAction* item = m_menu->addAction(QStringLiteral("%1 (%2)").arg(
            host::mediumText(volume.label).replace(QLatin1Char('&'), QStringLiteral("&&")),
            locale.formattedDataSize(volume.bytes, 1, QLocale::DataSizeSIFormat)));
        item->setCheckable(true);
        item->setActionGroup(choices);
        item->setChecked(!following && current == volume.mountPoint);
        matched = matched || item->isChecked();
        connect(item, &QAction::triggered, this, [volume] {
            host::DriveA::detachImage();
            host::DriveA::setMode(Mode::Fixed);
            host::DriveA::pointAt(volume.mountPoint);
            Module1::RefreshDiskDisplay();
        });
    }
    QAction* follow = m_menu->addAction(tr("The stick or diskette that is plugged in"));
    follow->setCheckable(true);
    follow->setActionGroup(choices);
    follow->setChecked(following);
    connect(follow, &QAction::triggered, this, [] {
        host::DriveA::detachImage();
        host::DriveA::setMode(Mode::Follow);
        host::DriveA::follow();
        Module1::RefreshDiskDisplay();
    });
    m_menu->addSeparator();
    // A folder of the user's own choosing is named where it is the choice, as a whole path
    // (the link may be written relative to its own folder).
    const QString folderPath = QDir::cleanPath(
        QFileInfo(host::driveEntryPath(QLatin1Char('a'))).dir().absoluteFilePath(current));
    QAction* folder =
        m_menu->addAction(matched ? tr("Folder...")
                                  : tr("Folder: %1...")
                                        .arg(host::mediumText(folderPath)
                                                 .replace(QLatin1Char('&'), QStringLiteral("&&"))));
    folder->setCheckable(true);
    folder->setActionGroup(choices);
    folder->setChecked(!matched);
    connect(folder, &QAction::triggered, this, &DriveMenu::chooseFolder);
    QAction* image = m_menu->addAction(tr("Diskette image..."));
    connect(image, &QAction::triggered, this, &DriveMenu::chooseImage);
    m_menu->popup(globalPos);
}

void DriveMenu::chooseFolder() {
    const QString chosen =
        QFileDialog::getExistingDirectory(m_window, tr("Drive A:"), host::DriveA::target());
    if (chosen.isEmpty())
        return; // cancelled: drive A: stays as it was
    host::DriveA::detachImage();
    host::DriveA::setMode(host::DriveA::Mode::Fixed);
    host::DriveA::pointAt(chosen);
    Module1::RefreshDiskDisplay();
}

void DriveMenu::chooseImage() {
    const QString chosen =
        QFileDialog::getOpenFileName(m_window, tr("Diskette image"), QString(),
                                     tr("Diskette images (*.img *.ima);;All files (*)"));
    if (chosen.isEmpty())
        return;
    using Outcome = host::DriveA::ImageAttachment::Outcome;
    const host::DriveA::ImageAttachment attached = host::DriveA::attachImage(chosen);
    if (attached.outcome == Outcome::Failed) {
        host::MsgBox(tr("Couldn't open the diskette image."), host::MB_ICONCRITICAL,
                     Module1::kTitle);
        return;
    }
    if (attached.outcome == Outcome::InUse) {
        host::MsgBox(tr("The diskette image is in use by %1 already. It was not attached a second "
                        "time: two programs writing to one image damage its files.")
                         .arg(host::mediumText(attached.user)),
                     host::MB_ICONCRITICAL, Module1::kTitle);
        return;
    }
    Module1::RefreshDiskDisplay();
    if (attached.outcome == Outcome::ReadOnly)
        host::MsgBox(tr("The diskette image can only be read: writing to an image needs the "
                        "desktop's disk service (udisks2)."),
                     host::MB_OK, Module1::kTitle);
}

} // namespace vortle
