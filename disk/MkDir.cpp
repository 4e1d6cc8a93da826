#include "MkDir.h"

#include "host/FileSystem.h"
#include "host/RuntimeError.h"

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
    QString built = bez1.left(3);
    QString rest = bez1.mid(3);
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
