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

// The medians of several runs, in milliseconds, timed in turn round by round, so that what one
// leaves behind (writeback still going, where the file system allocates next) weighs on each
// alike; `prepare` runs untimed before each.
inline QList<double> mediansInTurnMs(int rounds, const std::function<void()>& prepare,
                                     const QList<std::function<void()>>& runs) {
    QList<QList<double>> times(runs.size());
    for (int round = 0; round < rounds; ++round) {
        for (qsizetype i = 0; i < runs.size(); ++i) {
            prepare();
            QElapsedTimer clock;
            clock.start();
            runs[i]();
            times[i] << clock.nsecsElapsed() / 1e6;
        }
    }
    QList<double> medians;
    for (QList<double>& each : times) {
        std::sort(each.begin(), each.end());
        medians << each[rounds / 2];
    }
    return medians;
}

inline double medianMs(int rounds, const std::function<void()>& prepare,
                       const std::function<void()>& run) {
    return mediansInTurnMs(rounds, prepare, {run}).first();
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

// `cp source target` followed by `sync -f` on the target's file system: the yardstick for a
// copy that Execute Link makes durable.
std::function<void()> cpAndSync(const QString& source, const QString& target);

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
// `only` names one part ("replacing", "fat" or "delete"); empty runs all three.
double benchManyFiles(const char* self, const QString& only = QString());
