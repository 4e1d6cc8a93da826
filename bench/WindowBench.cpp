// SPDX-License-Identifier: MIT
// The main window against a bare Qt window: from the first show to the first paint, and the
// running program's resident memory.
#include "Measure.h"

#include "forms/app/Main.h"
#include "host/core/Prefix.h"
#include "host/gui/FormInstance.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

// Time from show() to the window's first paint event.
class PaintClock : public QObject {
public:
    QElapsedTimer clock;
    double paintedMs = -1;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedMs < 0)
            paintedMs = clock.nsecsElapsed() / 1e6;
        return false;
    }
};

double showToPaint(QWidget* window) {
    PaintClock clock;
    window->installEventFilter(&clock);
    clock.clock.start();
    window->show();
    while (clock.paintedMs < 0 && clock.clock.elapsed() < 5000)
        QApplication::processEvents();
    window->removeEventFilter(&clock);
    return clock.paintedMs;
}

long residentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Starts a program on the offscreen platform in its own prefix and reads its resident memory
// once it has settled.
long settledResidentKiB(const QString& program, const QStringList& arguments,
                        const QString& ready) {
    QTemporaryDir root;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_DATA_HOME", root.path());
    env.insert("HOME", root.path());
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForStarted();
    QElapsedTimer clock;
    clock.start();
    while (!ready.isEmpty() && !QFile::exists(root.path() + ready) && clock.elapsed() < 10000)
        QThread::msleep(50);
    QThread::msleep(1500);
    const long kib = residentKiB(process.processId());
    process.kill();
    process.waitForFinished();
    return kib;
}

} // namespace

double benchFirstPaint() {
    BenchPrefix prefix;
    QList<double> mainTimes, bareTimes;
    for (int round = 0; round < 9; ++round) {
        Main* main = host::FormInstance<Main>::load();
        mainTimes << showToPaint(main);
        delete main;
        QWidget bare;
        bare.resize(105, 244);
        bareTimes << showToPaint(&bare);
    }
    std::sort(mainTimes.begin(), mainTimes.end());
    std::sort(bareTimes.begin(), bareTimes.end());
    const double mainMs = mainTimes[4], bareMs = bareTimes[4];
    std::printf("main window, first show to first paint: %.2f ms (median of 9)\n", mainMs);
    std::printf("bare Qt window of the same size:         %.2f ms\n", bareMs);
    std::printf("ratio main / bare:                       %.2f\n", mainMs / bareMs);
    return mainMs / bareMs;
}

double benchResidentMemory(const char* self) {
    const QString vortle = QCoreApplication::applicationDirPath() + "/../bin/vortle";
    const long program =
        settledResidentKiB(vortle, {}, "/vortle/drive_c/windows/system/VRTLSettings.dll");
    const long bare = settledResidentKiB(QString::fromLocal8Bit(self), {"--bare-window"}, {});
    std::printf("running program, resident:   %ld KiB\n", program);
    std::printf("bare Qt window, resident:    %ld KiB\n", bare);
    std::printf("ratio program / bare:        %.2f\n", double(program) / double(bare));
    return double(program) / double(bare);
}
