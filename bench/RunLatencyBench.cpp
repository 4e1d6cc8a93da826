// SPDX-License-Identifier: MIT
// Execute Link as a user meets it: one 256 MiB copy against cp and sync -f of the same file,
// and what the click on "Execute Link" adds before the first action starts, against starting
// the run directly.
#include "Measure.h"

#include "engine/ExecuteLinkRun.h"
#include "forms/app/Main.h"
#include "host/core/DosPath.h"
#include "host/core/Prefix.h"
#include "host/gui/FormInstance.h"
#include "module1/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace vortle;

constexpr int kRounds = 5;

double benchLargeCopyAndLatency() {
    BenchPrefix prefix;
    const QString source = host::toHostPath("a:\\") + "/large.bin";
    const QString target = host::toHostPath("c:\\") + "/large.bin";
    writeRandomFile(source, qint64(256) << 20, 256);
    writeBenchDiskette(
        "1", [](int) { return QStringLiteral("a:\\large.bin"); },
        [](int) { return QStringLiteral("c:\\large.bin"); }, 1);
    auto fresh = [&] { QFile::remove(target); };
    const QList<double> times = mediansInTurnMs(
        kRounds, fresh, {[] { Module1::ExecuteLink(); }, cpAndSync(source, target)});
    const double engine = times[0], cp = times[1];
    std::printf("Execute Link, one 256 MiB copy: %.1f ms (median of %d)\n", engine, kRounds);
    std::printf("cp and sync -f of the same:     %.1f ms\n", cp);
    std::printf("ratio:                          %.2f\n", engine / cp);

    // A list of one "Create directory", whose run is over almost as soon as it starts: from the
    // click, through the display's refresh, the drive check, the reading of the list and the
    // run's thread, against the same run started directly. The difference is what the click
    // adds before the first action.
    writeBenchDiskette(
        "0", [](int) { return QStringLiteral("c:\\made"); }, [](int) { return QString(); }, 1);
    Main* main = host::FormInstance<Main>::load();
    auto unmade = [] { QDir(host::toHostPath("c:\\")).rmdir("made"); };
    const double fromClick = medianMs(21, unmade, [&] { main->Image2_Click(); });
    const double direct = medianMs(21, unmade, [] {
        ExecuteLinkRun run({{"0", "c:\\made", ""}});
        run.start();
        run.wait();
    });
    delete main;
    std::printf("click to a one-action run's end:  %.2f ms (median of 21)\n", fromClick);
    std::printf("the same run started directly:    %.2f ms\n", direct);
    std::printf("more from the click:              %.2f ms\n", fromClick - direct);
    return fromClick - direct;
}
