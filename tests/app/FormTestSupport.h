#pragma once

#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include <QApplication>
#include <QWidget>

#include <map>

// Writes records of the program settings file as a test's starting point.
inline void writeProgramSettings(const std::map<int, storage::TaggedValue>& records) {
    const int file = storage::NextFileNumber();
    storage::OpenRecordFile(storage::ProgramSettingsPath(), file);
    storage::RecordFileGuard guard(file);
    for (const auto& [number, value] : records)
        storage::PutRecord(file, number, value);
    storage::CloseRecordFile(file);
}

inline storage::TaggedValue readProgramSetting(int record) {
    const int file = storage::NextFileNumber();
    storage::OpenRecordFile(storage::ProgramSettingsPath(), file);
    storage::RecordFileGuard guard(file);
    return storage::GetRecord(file, record);
}

// Top-level windows of a form class that exist now.
template <class Form> int countWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<Form*>(widget) != nullptr;
    return count;
}
