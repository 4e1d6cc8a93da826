// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

// A program for the tests to start: it writes its arguments, one a line, to `<program>.args`
// (whole, by a rename), so a test sees what a real program would have been handed.
inline QString writeRecorder(const QString& hostPath) {
    QFile file(hostPath);
    if (file.open(QIODevice::WriteOnly))
        file.write(
            "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args.tmp\"\nmv \"$0.args.tmp\" \"$0.args\"\n");
    file.close();
    QFile::setPermissions(hostPath, QFile::permissions(hostPath) | QFile::ExeOwner);
    return hostPath;
}

// What the recorder was handed; empty until it has run.
inline QStringList recordedArguments(const QString& program) {
    QFile args(program + ".args");
    if (!args.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(args.readAll()).split('\n', Qt::SkipEmptyParts);
}
