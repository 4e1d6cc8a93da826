// SPDX-License-Identifier: MIT
#pragma once

#include "host/core/Prefix.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

// The median of several timed runs, in milliseconds; `prepare` runs untimed before each.
inline double medianMs(int rounds, const std::function<void()>& prepare,
                       const std::function<void()>& run) {
    QList<double> times;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        run();
        times << clock.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[rounds / 2];
}

// A fresh prefix in a temporary folder (XDG_DATA_HOME) for one benchmark.
class BenchPrefix {
public:
    BenchPrefix() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.path()));
        host::ensurePrefix();
    }
    QString path() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};

// A file of random bytes, which no file system can copy by a shortcut; `seed` picks them.
void writeRandomFile(const QString& path, qint64 bytes, quint32 seed);

// The median time of `cp source target` followed by `sync -f` on the target's file system:
// the yardstick for a copy that Execute Link makes durable.
double cpAndSyncMs(int rounds, const QString& source, const QString& target);

// Writes a diskette's settings with `count` actions of one kind and the given paths.
void writeBenchDiskette(const QString& kind, const std::function<QString(int)>& first,
                        const std::function<QString(int)>& second, int count = 101);

// Each benchmark prints its figures and returns its ratio.
double benchExecuteLink();
double benchWholeProcessCopy(const char* self);
double benchLargeCopyAndLatency();
// The process that benchWholeProcessCopy times: runs drive A:'s list in the prefix that
// XDG_DATA_HOME names, and ends.
int runExecuteLinkProcess();
double benchDiskOpenSave();
double benchFirstPaint();
double benchResidentMemory(const char* self);
double benchManyFiles(const char* self);
