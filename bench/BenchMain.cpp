// SPDX-License-Identifier: MIT
// The benchmarks, side by side in one run: build/bench/vortle-bench
#include "Measure.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strcmp(argv[1], "--bare-window") == 0) {
        // The bare Qt window that the program's memory is compared with.
        QApplication app(argc, argv);
        QWidget window;
        window.resize(105, 244);
        window.show();
        return QApplication::exec();
    }
    if (argc > 1 && std::strcmp(argv[1], "--execute-link") == 0) {
        QApplication app(argc, argv);
        return runExecuteLinkProcess();
    }
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--many-files") == 0) { // that part alone, or one row
        benchManyFiles(argv[0], argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
        return 0;
    }
    std::puts("== Execute Link against cp");
    const double link = benchExecuteLink();
    std::puts("\n== Many small files");
    const double many = benchManyFiles(argv[0]);
    std::puts("\n== One 100 MB copy, whole processes");
    const double whole = benchWholeProcessCopy(argv[0]);
    std::puts("\n== One 256 MiB copy, and what the click adds");
    const double click = benchLargeCopyAndLatency();
    std::puts("\n== Disk properties: open and save");
    const double save = benchDiskOpenSave();
    std::puts("\n== Main window: first show to first paint");
    const double paint = benchFirstPaint();
    std::puts("\n== Resident memory");
    const double memory = benchResidentMemory(argv[0]);
    std::printf("\nratios: execute-link/one cp %.2f, delete/find %.2f, 100 MB process/cp %.2f, "
                "click adds %.2f ms, open+save/direct %.1f, first-paint/bare %.2f, memory/bare "
                "%.2f\n",
                link, many, whole, click, save, paint, memory);
    return 0;
}
