// SPDX-License-Identifier: MIT
#pragma once

#include "ActionKinds.h"

#include <QList>
#include <QString>

// The diskette's own files in the root of drive A:.
namespace vortle::DiskSettings {

inline const QString kSettingsPath = QStringLiteral("a:\\VRTLSettings.sys");
inline const QString kIconPath = QStringLiteral("a:\\VRTLIcon.sys");
inline const QString kNotesPath = QStringLiteral("a:\\VRTLNotes.sys");
inline const QString kAutoArchive = QStringLiteral("a:\\VRTLAutoArchive.zip"); // kept by WinZip

constexpr int kNameRecord = 1;
constexpr int kMaxActions = 101; // actions 0 to 100; any after them are never read

// Action i (from 0) occupies records 3i + 2 (kind code), 3i + 3 (first path), 3i + 4 (second).
constexpr int kindRecord(int action) {
    return 3 * action + 2;
}
constexpr int firstPathRecord(int action) {
    return 3 * action + 3;
}
constexpr int secondPathRecord(int action) {
    return 3 * action + 4;
}

// Kind codes, stored as one-digit strings.
inline const QString kCreateDirectory = QString::fromLatin1(ActionKinds::kKinds[0].code);
inline const QString kCopyFile = QString::fromLatin1(ActionKinds::kKinds[1].code);
inline const QString kMoveFile = QString::fromLatin1(ActionKinds::kKinds[2].code);
inline const QString kDeleteFile = QString::fromLatin1(ActionKinds::kKinds[3].code);
inline const QString kExecuteFile = QString::fromLatin1(ActionKinds::kKinds[4].code);

struct Action {
    QString kind;
    QString firstPath;
    QString secondPath;
    friend bool operator==(const Action&, const Action&) = default;
};

// Appends the actions of an open disk settings file to `actions`, up to the first empty kind
// code or the 101st action. Raises the file's errors; the actions read before stay appended.
void readActions(int fileNumber, QList<Action>& actions);

} // namespace vortle::DiskSettings
