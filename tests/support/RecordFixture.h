// SPDX-License-Identifier: MIT
#pragma once

#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include <map>

// Reads one record of a record file, as a test's check.
inline storage::TaggedValue readRecord(const QString& dosPath, int record) {
    storage::TaggedValue value;
    storage::withRecordFile(dosPath, [&](int file) { value = storage::GetRecord(file, record); });
    return value;
}

// Writes records of a record file, as a test's starting point.
inline void writeRecords(const QString& dosPath,
                         const std::map<int, storage::TaggedValue>& records) {
    storage::withRecordFile(dosPath, [&](int file) {
        for (const auto& [number, value] : records)
            storage::PutRecord(file, number, value);
    });
}

inline void writeProgramSettings(const std::map<int, storage::TaggedValue>& records) {
    writeRecords(storage::ProgramSettingsPath(), records);
}

inline storage::TaggedValue readProgramSetting(int record) {
    return readRecord(storage::ProgramSettingsPath(), record);
}
