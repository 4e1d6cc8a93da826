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
    host::resumeNext([] { host::deleteFiles(vortle::DiskSettings::kSettingsPath); });
    storage::withRecordFile(vortle::DiskSettings::kSettingsPath, [&](int file) {
        storage::PutRecord(file, vortle::DiskSettings::kNameRecord,
                           storage::TaggedValue::string(name));
        for (int i = 0; i < actions.size(); ++i) {
            storage::PutRecord(file, vortle::DiskSettings::kindRecord(i),
                               storage::TaggedValue::string(actions[i].kind));
            storage::PutRecord(file, vortle::DiskSettings::firstPathRecord(i),
                               storage::TaggedValue::string(actions[i].firstPath));
            storage::PutRecord(file, vortle::DiskSettings::secondPathRecord(i),
                               storage::TaggedValue::string(actions[i].secondPath));
        }
    });
}
