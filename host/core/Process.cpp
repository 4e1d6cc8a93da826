// SPDX-License-Identifier: MIT
#include "Process.h"

#include "CodePage.h"
#include "DosPath.h"
#include "Location.h"
#include "RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace host {
namespace {

bool looksLikeDosPath(const QString& text) {
    return rootLength(text) == 3 && text[0].isLetter() && text[0].unicode() < 0x80;
}

bool isStartable(const QString& hostPath) {
    const QFileInfo info(hostPath);
    return info.isFile() && info.isExecutable();
}

// Host path of a program name, or empty when none can be started under that name.
QString findProgram(const QString& name) {
    if (name.isEmpty())
        return {};
    QStringList candidates{name};
    if (QFileInfo(name).suffix().isEmpty())
        candidates << name + QStringLiteral(".exe");
    for (const QString& candidate : candidates) {
        if (candidate.startsWith(QLatin1Char('/'))) {
            if (isStartable(candidate))
                return candidate;
            continue;
        }
        const bool hasDirectory = candidate.contains(QLatin1Char('\\')) ||
                                  candidate.contains(QLatin1Char('/')) || namesDrive(candidate);
        QStringList dosTries{candidate};
        if (!hasDirectory)
            dosTries << QStringLiteral("c:\\windows\\system\\") + candidate
                     << QStringLiteral("c:\\windows\\") + candidate;
        for (const QString& dos : dosTries) {
            try {
                const QString host = toHostPath(dos);
                if (isStartable(host))
                    return host;
            } catch (const RuntimeError&) {
            }
        }
        if (!hasDirectory) {
            const QString onPath = QStandardPaths::findExecutable(candidate);
            if (!onPath.isEmpty())
                return onPath;
        }
    }
    return {};
}

QString hostArgument(const QString& argument) {
    if (!looksLikeDosPath(argument))
        return argument;
    try {
        return toHostPath(argument);
    } catch (const RuntimeError&) {
        return argument; // not a mapped drive: handed over as written
    }
}

} // namespace

QStringList splitArguments(QStringView text) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (isBlank(c) && !quoted) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == QLatin1Char('\\')) {
            qsizetype backslashes = 0;
            while (i < text.size() && text[i] == QLatin1Char('\\')) {
                ++backslashes;
                ++i;
            }
            if (i < text.size() && text[i] == QLatin1Char('"')) {
                current += QString(backslashes / 2, QLatin1Char('\\'));
                if (backslashes % 2) {
                    current += QLatin1Char('"');
                    ++i;
                }
            } else {
                current += QString(backslashes, QLatin1Char('\\'));
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                current += QLatin1Char('"');
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument)
        arguments << current;
    return arguments;
}

namespace {

// A command line taken apart the Windows way: the host path of the program it would start, and
// its arguments; raises 53.
struct CommandLine {
    QString program;
    QStringList arguments;
};

CommandLine resolveCommandLine(const QString& commandLine) {
    const QString line = commandLine.trimmed();
    CommandLine result;
    QString program;
    QString rest;
    if (line.startsWith(QLatin1Char('"'))) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), 1);
        const QString name = close < 0 ? line.mid(1) : line.mid(1, close - 1);
        program = findProgram(name);
        rest = close < 0 ? QString() : line.mid(close + 1);
    } else {
        // An unquoted path with blanks: each longer prefix that ends before a blank is a try.
        qsizetype end = 0;
        while (end <= line.size()) {
            end = line.indexOf(QLatin1Char(' '), end);
            if (end < 0)
                end = line.size();
            const QString candidate = line.left(end);
            program = findProgram(candidate);
            if (!program.isEmpty()) {
                rest = line.mid(end);
                break;
            }
            ++end;
        }
    }
    if (program.isEmpty())
        raise(ErrFileNotFound);
    result.program = program;
    for (const QString& argument : splitArguments(rest))
        result.arguments << hostArgument(argument);
    return result;
}

} // namespace

void startProcess(const QString& commandLine, int /*windowStyle*/) {
    const CommandLine resolved = resolveCommandLine(commandLine);
    // A program that a medium's list starts works on that medium, as every other path of the
    // list without a drive letter is taken there: it runs in the held medium's root (named
    // through the descriptor, so a medium put in its place meanwhile is never the one).
    const MediumHold* medium = MediumHold::current();
    if (medium && medium->root() < 0)
        raise(ErrDiskNotReady);
    const QString workingDirectory =
        medium ? QFile::decodeName(procPath(medium->root())) : QDir::currentPath();
    if (!QProcess::startDetached(resolved.program, resolved.arguments, workingDirectory))
        raise(ErrFileNotFound);
}

} // namespace host
