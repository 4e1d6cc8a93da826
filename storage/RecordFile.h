// SPDX-License-Identifier: MIT
#pragma once

#include "TaggedValue.h"

#include <QString>

#include <cstdint>

// Record files: fixed 128-byte records numbered from 1, one tagged value in each, no header.
// A handler takes a file number, opens, reads and writes by record number and closes, all
// within itself.
namespace storage {

constexpr int kRecordLength = 128;

// The lowest file number from 1 upwards that no open file uses.
int NextFileNumber();

// Opens the file for reading and writing as a record file and binds it to the number; a
// missing file is created empty. A read-only file or medium opens for reading only.
void OpenRecordFile(const QString& dosPath, int fileNumber);

// The value of a record; a record beyond the end of the file, or never written, is empty.
TaggedValue GetRecord(int fileNumber, std::int32_t recordNumber);

// Writes the value as that record; a value that does not fit the record raises 59 and leaves
// the record as it was.
void PutRecord(int fileNumber, std::int32_t recordNumber, const TaggedValue& value);

void CloseRecordFile(int fileNumber);

// Closes the file number when a handler is left by an error, so that no number outlives it.
class RecordFileGuard {
public:
    explicit RecordFileGuard(int fileNumber) : m_fileNumber(fileNumber) {}
    RecordFileGuard(const RecordFileGuard&) = delete;
    RecordFileGuard& operator=(const RecordFileGuard&) = delete;
    ~RecordFileGuard();

private:
    int m_fileNumber;
};

// The convention of every handler in one place: take a file number, open the file, work on it
// by record number, close it; an error leaves through the guard, which frees the number.
template <typename Body> void withRecordFile(const QString& dosPath, Body&& body) {
    const int file = NextFileNumber();
    OpenRecordFile(dosPath, file);
    RecordFileGuard guard(file);
    body(file);
    CloseRecordFile(file);
}

// A whole record file built in memory, byte for byte as PutRecord on a new file would leave
// it, so that it can replace the old file in one step.
class RecordImage {
public:
    // Raises 59 for a value that does not fit a record, and 63 for a number below 1.
    void put(std::int32_t recordNumber, const TaggedValue& value);
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace storage
