// SPDX-License-Identifier: MIT
// Opening and saving a 101-action diskette in the disk properties window, against reading and
// writing the same bytes directly.
#include "Measure.h"

#include "engine/DiskSettings.h"
#include "forms/disk/DiskProperties.h"
#include "host/core/DosPath.h"
#include "host/core/Prefix.h"
#include "host/gui/FormInstance.h"
#include "storage/RecordFile.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace vortle;

void writeBenchDiskette(const QString& kind, const std::function<QString(int)>& first,
                        const std::function<QString(int)>& second, int count) {
    storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
        storage::PutRecord(file, DiskSettings::kNameRecord, storage::TaggedValue::string("Bench"));
        for (int i = 0; i < count; ++i) {
            storage::PutRecord(file, DiskSettings::kindRecord(i),
                               storage::TaggedValue::string(kind));
            storage::PutRecord(file, DiskSettings::firstPathRecord(i),
                               storage::TaggedValue::string(first(i)));
            storage::PutRecord(file, DiskSettings::secondPathRecord(i),
                               storage::TaggedValue::string(second(i)));
        }
    });
}

double benchDiskOpenSave() {
    BenchPrefix prefix;
    writeBenchDiskette(
        "1", [](int i) { return QStringLiteral("a:\\source\\file%1.txt").arg(i); },
        [](int i) { return QStringLiteral("c:\\target\\file%1.txt").arg(i); });
    const QString hostPath = host::toHostPath(DiskSettings::kSettingsPath);

    const double window = medianMs(
        21, [] {},
        [] {
            DiskProperties* properties = host::FormInstance<DiskProperties>::load();
            properties->Command2_Click(); // saves and unloads
            delete host::FormInstance<DiskProperties>::loaded();
        });
    const double direct = medianMs(
        21, [] {},
        [&] {
            QFile in(hostPath);
            in.open(QIODevice::ReadOnly);
            const QByteArray bytes = in.readAll();
            in.close();
            QSaveFile out(hostPath);
            out.open(QIODevice::WriteOnly);
            out.write(bytes);
            out.commit();
        });
    std::printf("open and save a 101-action diskette: %.2f ms (median of 21)\n", window);
    std::printf("read and write the same %lld bytes:   %.2f ms\n", QFile(hostPath).size(), direct);
    std::printf("ratio window / direct:               %.1f\n", window / direct);
    return window / direct;
}
