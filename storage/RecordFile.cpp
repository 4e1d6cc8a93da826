// SPDX-License-Identifier: MIT
#include "RecordFile.h"

#include "host/core/RandomAccessFile.h"
#include "host/core/RuntimeError.h"

#include <map>

namespace storage {
namespace {

constexpr int kMaxFileNumber = 511;

std::map<int, host::RandomAccessFile>& openFiles() {
    static std::map<int, host::RandomAccessFile> files;
    return files;
}

host::RandomAccessFile& fileFor(int fileNumber) {
    auto it = openFiles().find(fileNumber);
    if (it == openFiles().end())
        host::raise(host::ErrBadFileNameOrNumber);
    return it->second;
}

qint64 offsetOf(std::int32_t recordNumber) {
    if (recordNumber < 1)
        host::raise(host::ErrBadRecordNumber);
    return qint64(recordNumber - 1) * kRecordLength;
}

} // namespace

int NextFileNumber() {
    for (int number = 1; number <= kMaxFileNumber; ++number) {
        if (!openFiles().count(number))
            return number;
    }
    host::raise(host::ErrTooManyFiles);
}

void OpenRecordFile(const QString& dosPath, int fileNumber) {
    if (fileNumber < 1 || fileNumber > kMaxFileNumber)
        host::raise(host::ErrBadFileNameOrNumber);
    if (openFiles().count(fileNumber))
        host::raise(host::ErrFileAlreadyOpen);
    openFiles().emplace(fileNumber, host::RandomAccessFile::open(dosPath));
}

TaggedValue GetRecord(int fileNumber, std::int32_t recordNumber) {
    const host::RandomAccessFile& file = fileFor(fileNumber);
    QByteArray record = file.readAt(offsetOf(recordNumber), kRecordLength);
    // Bytes beyond the end of the file read as zero.
    record.append(kRecordLength - record.size(), '\0');
    return TaggedValue::decode(record);
}

void PutRecord(int fileNumber, std::int32_t recordNumber, const TaggedValue& value) {
    host::RandomAccessFile& file = fileFor(fileNumber);
    const qint64 offset = offsetOf(recordNumber);
    const QByteArray bytes = value.encode();
    if (bytes.size() > kRecordLength)
        host::raise(host::ErrBadRecordLength);
    file.writeAt(offset, bytes);
}

void CloseRecordFile(int fileNumber) {
    auto it = openFiles().find(fileNumber);
    if (it == openFiles().end())
        return;
    host::RandomAccessFile file = std::move(it->second);
    openFiles().erase(it);
    file.close();
}

void RecordImage::put(std::int32_t recordNumber, const TaggedValue& value) {
    const qint64 offset = offsetOf(recordNumber);
    const QByteArray bytes = value.encode();
    if (bytes.size() > kRecordLength)
        host::raise(host::ErrBadRecordLength);
    // Records never written stay zero bytes, as a gap in a file reads.
    if (m_bytes.size() < offset + bytes.size())
        m_bytes.resize(offset + bytes.size(), '\0');
    m_bytes.replace(offset, bytes.size(), bytes);
}

RecordFileGuard::~RecordFileGuard() {
    auto it = openFiles().find(m_fileNumber);
    if (it != openFiles().end())
        openFiles().erase(it); // the file's destructor closes it without raising
}

} // namespace storage
