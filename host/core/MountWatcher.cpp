// SPDX-License-Identifier: MIT
#include "MountWatcher.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace host {

MountWatcher::MountWatcher(QObject* parent) : QObject(parent) {
    m_fd.reset(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC));
    if (m_fd.fd < 0)
        return; // no mount table to watch: the display refreshes only when asked
    // A change shows as an exceptional condition (POLLPRI) on the open table.
    m_notifier = new QSocketNotifier(m_fd.fd, QSocketNotifier::Exception, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MountWatcher::onChange);
}

MountWatcher::~MountWatcher() {
    delete m_notifier; // before the descriptor it watches closes
}

void MountWatcher::onChange() {
    // The mark stays until the table is read again from its start.
    char buffer[4096];
    ::lseek(m_fd.fd, 0, SEEK_SET);
    while (readFully(m_fd.fd, buffer, sizeof buffer) == ssize_t(sizeof buffer)) {
    }
    emit mountsChanged();
}

} // namespace host
