// SPDX-License-Identifier: MIT
#pragma once

#include "Fd.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace host {

// An open file with reads and writes at byte offsets, as the record files use it.
class RandomAccessFile {
public:
    // Opens for reading and writing and creates a missing file. A file with the read-only
    // attribute, or one on a write-protected medium, opens for reading only; its writes then
    // fail with 75 or 70.
    static RandomAccessFile open(const QString& dosPath);

    // Up to `length` bytes from `offset`; fewer where the file ends.
    QByteArray readAt(qint64 offset, qint64 length) const;
    void writeAt(qint64 offset, QByteArrayView bytes);
    void close();

private:
    RandomAccessFile(int fd, int writeError) : m_fd(fd), m_writeError(writeError) {}
    UniqueFd m_fd;
    int m_writeError = 0; // the error a write raises, 0 when writes are allowed
};

} // namespace host
