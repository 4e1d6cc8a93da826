// SPDX-License-Identifier: MIT
#pragma once

#include "engine/DiskSettings.h"
#include "host/core/FileSystem.h"
#include "host/core/RuntimeError.h"
#include "storage/RecordFile.h"

#include <QList>

// Writes a disk settings file on drive A: as a diskette written elsewhere would carry it,
// replacing any earlier one.
inline void writeDiskSettings(const QString& name,
                              const QList<vortle::DiskSettings::Action>& actions) {
    using namespace vortle;
    host::resumeNext([] { host::deleteFiles(DiskSettings::kSettingsPath); });
    storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
        storage::PutRecord(file, DiskSettings::kNameRecord, storage::TaggedValue::string(name));
        for (int i = 0; i < actions.size(); ++i) {
            storage::PutRecord(file, DiskSettings::kindRecord(i),
                               storage::TaggedValue::string(actions[i].kind));
            storage::PutRecord(file, DiskSettings::firstPathRecord(i),
                               storage::TaggedValue::string(actions[i].firstPath));
            storage::PutRecord(file, DiskSettings::secondPathRecord(i),
                               storage::TaggedValue::string(actions[i].secondPath));
        }
    });
}
