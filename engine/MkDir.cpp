// SPDX-License-Identifier: MIT
#include "MkDir.h"

#include "host/core/DosPath.h"
#include "host/core/FileSystem.h"
#include "host/core/RuntimeError.h"

namespace {

const QString kBackslash = QStringLiteral("\\");

// The part of `rest` before its first backslash, and `rest` after it.
QString takeLevel(QString& rest) {
    const qsizetype at = rest.indexOf(kBackslash);
    if (at < 0) {
        const QString level = rest;
        rest.clear();
        return level;
    }
    const QString level = rest.left(at);
    rest.remove(0, at + 1);
    return level;
}

} // namespace

void Mk_Dir(const QString& bez1) {
    // Both separators count, as everywhere in the paths; the root is a drive's ("a:\\"), the
    // current drive's ("\\") or none for a path relative to the current directory.
    QString path = bez1;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const qsizetype root = host::rootLength(path);
    QString built = path.left(root);
    QString rest = path.mid(root);
    if (!rest.endsWith(kBackslash))
        rest += kBackslash;
    built += takeLevel(rest);
    // A level that is empty (two backslashes in a row) leaves `built` ending in a backslash,
    // which ends the loop: nothing deeper is created.
    while (!built.endsWith(kBackslash)) {
        host::resumeNext([&] { host::makeDirectory(built); });
        if (!rest.isEmpty())
            built += kBackslash + takeLevel(rest);
        else
            built += kBackslash;
    }
}
