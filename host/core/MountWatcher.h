// SPDX-License-Identifier: MIT
#pragma once

#include "Fd.h"

#include <QObject>

class QSocketNotifier;

namespace host {

// Tells when a file system is mounted or unmounted anywhere: the kernel marks the mount table
// (/proc/self/mountinfo) as changed, which a socket notifier sees without polling.
class MountWatcher : public QObject {
    Q_OBJECT
public:
    explicit MountWatcher(QObject* parent = nullptr);
    ~MountWatcher() override;

signals:
    void mountsChanged();

private:
    void onChange();

    UniqueFd m_fd;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace host
