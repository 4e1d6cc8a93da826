// SPDX-License-Identifier: MIT
#include "MountWatcher.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace host {

MountWatcher::MountWatcher(QObject* parent) : QObject(parent) {
    m_fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return; // no mount table to watch: the display refreshes only when asked
    // A change shows as an exceptional condition (POLLPRI) on the open table.
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MountWatcher::onChange);
}

MountWatcher::~MountWatcher() {
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void MountWatcher::onChange() {
    // The mark stays until the table is read again from its start.
    char buffer[4096];
    ::lseek(m_fd, 0, SEEK_SET);
    while (::read(m_fd, buffer, sizeof buffer) > 0) {
    }
    emit mountsChanged();
}

} // namespace host
