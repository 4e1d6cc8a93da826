// SPDX-License-Identifier: MIT
// Execute Link over 101 "Copy file" actions of 1.44 MB files, against cp of the same files in
// the same run (one process per file, and one for all), and one 100 MB copy as whole
// processes. Execute Link makes every copy durable, so each cp is followed by sync -f on the
// same file system. Prints the medians and their ratios.
#include "Measure.h"

#include "engine/DiskSettings.h"
#include "host/core/DosPath.h"
#include "host/core/Prefix.h"
#include "module1/Module1.h"
#include "storage/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

constexpr int kActions = 101;
constexpr int kRounds = 7;

double benchExecuteLink() {
    BenchPrefix prefix;
    const QString sources = host::toHostPath("a:\\") + "/src";
    const QString out = host::toHostPath("c:\\") + "/out";

    // 101 files of 1.44 MB, so that one cp can also take them all at once.
    QDir().mkpath(sources);
    for (int i = 0; i < kActions; ++i)
        writeRandomFile(sources + QStringLiteral("/f%1.bin").arg(i), 1474560, 1440 + i);
    writeBenchDiskette(
        "1", [](int i) { return QStringLiteral("a:\\src\\f%1.bin").arg(i); },
        [](int i) { return QStringLiteral("c:\\out\\f%1.bin").arg(i); });

    auto freshOut = [&] {
        QDir(out).removeRecursively();
        QDir().mkpath(out);
    };
    const QString script =
        QStringLiteral(
            "i=0; while [ $i -lt %1 ]; do cp '%2/f'$i.bin '%3/f'$i.bin; i=$((i+1)); done; "
            "sync -f '%3'")
            .arg(kActions)
            .arg(sources, out);
    const QList<double> times =
        mediansInTurnMs(kRounds, freshOut,
                        {[] { Module1::ExecuteLink(); },
                         [&] {
                             QProcess::execute("sh", {"-c", script});
                         },
                         // The honest yardstick: one cp process for all the files.
                         cpAndSync(sources + "/*", out + "/"),
                         // The floor: the same copies in this process, without paths, records or
                         // temporary files.
                         [&] {
                             for (int i = 0; i < kActions; ++i)
                                 QFile::copy(sources + QStringLiteral("/f%1.bin").arg(i),
                                             out + QStringLiteral("/f%1.bin").arg(i));
                         }});
    const double engine = times[0], cpEach = times[1], cpAll = times[2], direct = times[3];

    std::printf("Execute Link, %d copies of 1.44 MB: %.1f ms (median of %d)\n", kActions, engine,
                kRounds);
    std::printf("one cp process per file:           %.1f ms\n", cpEach);
    std::printf("one cp of all the files:           %.1f ms\n", cpAll);
    std::printf("QFile::copy in this process:       %.1f ms\n", direct);
    std::printf("ratio Execute Link / cp per file:  %.2f\n", engine / cpEach);
    std::printf("ratio Execute Link / one cp:       %.2f\n", engine / cpAll);
    std::printf("ratio Execute Link / QFile::copy:  %.2f\n", engine / direct);
    return engine / cpAll;
}

void writeRandomFile(const QString& path, qint64 bytes, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray block(1 << 20, Qt::Uninitialized);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (qint64 left = bytes; left > 0; left -= block.size()) {
        random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        file.write(block.constData(), std::min<qint64>(left, block.size()));
    }
}

std::function<void()> cpAndSync(const QString& source, const QString& target) {
    // `source` may end in a pattern for the shell: it is quoted up to its last slash.
    const qsizetype slash = source.lastIndexOf(QLatin1Char('/'));
    const QString quoted = QStringLiteral("'%1'%2").arg(source.left(slash), source.mid(slash));
    const QString command = QStringLiteral("cp %1 '%2' && sync -f '%2'").arg(quoted, target);
    return [command] { QProcess::execute("sh", {"-c", command}); };
}

int runExecuteLinkProcess() {
    Module1::ExecuteLink();
    return 0;
}

double benchWholeProcessCopy(const char* self) {
    BenchPrefix prefix;
    const QString source = host::toHostPath("a:\\") + "/big.bin";
    const QString target = host::toHostPath("c:\\") + "/big.bin";
    writeRandomFile(source, 100 << 20, 100);
    writeBenchDiskette(
        "1", [](int) { return QStringLiteral("a:\\big.bin"); },
        [](int) { return QStringLiteral("c:\\big.bin"); }, 1);

    auto fresh = [&] { QFile::remove(target); };
    const QList<double> times = mediansInTurnMs(
        kRounds, fresh,
        {[&] { QProcess::execute(QString::fromLocal8Bit(self), {"--execute-link"}); },
         cpAndSync(source, target)});
    const double vortle = times[0], cp = times[1];
    std::printf("a process that runs one 100 MB copy: %.1f ms (median of %d)\n", vortle, kRounds);
    std::printf("cp of the same file:                 %.1f ms\n", cp);
    std::printf("ratio:                               %.2f\n", vortle / cp);
    return vortle / cp;
}
