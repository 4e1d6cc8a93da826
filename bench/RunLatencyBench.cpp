// Execute Link as a user meets it: one 256 MiB copy against cp and sync -f of the same file,
// and what the click on "Execute Link" adds before the first action starts, against starting
// the run directly.
#include "Measure.h"

#include "app/Main.h"
#include "disk/ExecuteLinkRun.h"
#include "disk/Module1.h"
#include "host/DosPath.h"
#include "host/FormInstance.h"
#include "host/Prefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>

#include <cstdio>

namespace {

constexpr int kRounds = 5;

} // namespace

double benchLargeCopyAndLatency() {
    QTemporaryDir root;
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.path()));
    host::ensurePrefix();
    const QString source = host::toHostPath("a:\\") + "/large.bin";
    const QString target = host::toHostPath("c:\\") + "/large.bin";
    {
        QByteArray block(1 << 20, Qt::Uninitialized);
        QFile file(source);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < 256; ++i) {
            QRandomGenerator(i).fillRange(reinterpret_cast<quint32*>(block.data()),
                                          block.size() / 4);
            file.write(block);
        }
    }
    writeBenchDiskette(
        "1", [](int) { return QStringLiteral("a:\\large.bin"); },
        [](int) { return QStringLiteral("c:\\large.bin"); }, 1);
    auto fresh = [&] { QFile::remove(target); };
    const double engine = medianMs(kRounds, fresh, [] { Module1::ExecuteLink(); });
    const double cp = medianMs(kRounds, fresh, [&] {
        QProcess::execute(
            "sh", {"-c", QStringLiteral("cp '%1' '%2' && sync -f '%2'").arg(source, target)});
    });
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
    auto firstReport = [](const std::function<void(QElapsedTimer&, double&)>& run) {
        QList<double> times;
        for (int round = 0; round < 21; ++round) {
            QElapsedTimer clock;
            double at = 0;
            run(clock, at);
            times << at;
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double fromClick = firstReport([&](QElapsedTimer& clock, double& at) {
        QDir(host::toHostPath("c:\\")).rmdir("made");
        clock.start();
        main->Image2_Click();
        at = clock.nsecsElapsed() / 1e6;
    });
    const double direct = firstReport([&](QElapsedTimer& clock, double& at) {
        QDir(host::toHostPath("c:\\")).rmdir("made");
        ExecuteLinkRun run({{"0", "c:\\made", ""}}, false);
        clock.start();
        run.start();
        run.wait();
        at = clock.nsecsElapsed() / 1e6;
    });
    delete main;
    std::printf("click to a one-action run's end:  %.2f ms (median of 21)\n", fromClick);
    std::printf("the same run started directly:    %.2f ms\n", direct);
    std::printf("more from the click:              %.2f ms\n", fromClick - direct);
    return fromClick - direct;
}
