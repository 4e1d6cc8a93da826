// Execute Link over 101 "Copy file" actions of a 1.44 MB file, against cp of the same files
// in the same run. Prints both medians and their ratio.
#include "Measure.h"

#include "disk/DiskSettings.h"
#include "disk/Module1.h"
#include "host/DosPath.h"
#include "host/Prefix.h"
#include "storage/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kActions = 101;
constexpr int kRounds = 7;

} // namespace

double benchExecuteLink() {
    QTemporaryDir root;
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.path()));
    host::ensurePrefix();
    const QString driveA = host::toHostPath("a:\\");
    const QString out = host::toHostPath("c:\\") + "/out";

    QByteArray data(1474560, Qt::Uninitialized);
    QRandomGenerator(1440).fillRange(reinterpret_cast<quint32*>(data.data()), data.size() / 4);
    QFile source(driveA + "/disk.img");
    source.open(QIODevice::WriteOnly);
    source.write(data);
    source.close();

    writeBenchDiskette(
        "1", [](int) { return QStringLiteral("a:\\disk.img"); },
        [](int i) { return QStringLiteral("c:\\out\\f%1.bin").arg(i); });

    auto freshOut = [&] {
        QDir(out).removeRecursively();
        QDir().mkpath(out);
    };
    const double engine = medianMs(kRounds, freshOut, [] { Module1::ExecuteLink(); });
    const QString script =
        QStringLiteral(
            "i=0; while [ $i -lt %1 ]; do cp '%2/disk.img' '%3/f'$i.bin; i=$((i+1)); done")
            .arg(kActions)
            .arg(driveA, out);
    const double cp = medianMs(kRounds, freshOut, [&] { QProcess::execute("sh", {"-c", script}); });

    // The floor: the same copies in this process, without paths, records or temporary files.
    const double direct = medianMs(kRounds, freshOut, [&] {
        for (int i = 0; i < kActions; ++i)
            QFile::copy(driveA + "/disk.img", out + QStringLiteral("/f%1.bin").arg(i));
    });

    std::printf("Execute Link, %d copies of 1.44 MB: %.1f ms (median of %d)\n", kActions, engine,
                kRounds);
    std::printf("cp of the same files:               %.1f ms\n", cp);
    std::printf("QFile::copy in this process:        %.1f ms\n", direct);
    std::printf("ratio Execute Link / cp:            %.2f\n", engine / cp);
    std::printf("ratio Execute Link / QFile::copy:   %.2f\n", engine / direct);
    return engine / cp;
}
