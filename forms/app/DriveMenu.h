// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPoint>

class QMenu;
class QWidget;

namespace host {
class MountWatcher;
}

namespace vortle {

// Drive A: as the user picks it, from the disk icon's right-click menu "Drive A:": a mounted
// removable volume, the stick or diskette that is plugged in (follow mode), any folder, or a
// FAT diskette image.
// It keeps the disk display in step when a medium is mounted or unmounted behind the drive.
class DriveMenu : public QObject {
    Q_OBJECT
public:
    explicit DriveMenu(QWidget* window);

    // In follow mode, points drive A: at the medium plugged in now.
    void start();

    // Opens the menu at a point of the screen.
    void popup(const QPoint& globalPos);

private:
    void mountsChanged();
    void chooseFolder();
    void chooseImage();

    QWidget* m_window;
    QMenu* m_menu;
    host::MountWatcher* m_mounts;
};

} // namespace vortle
