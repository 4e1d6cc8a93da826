// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// The kinds of action, in the order of the action editor's list: an entry's position there is
// the kind code stored on the diskette.
namespace ActionKinds {

inline const QStringList kLabels = {QStringLiteral("Create directory"), QStringLiteral("Copy file"),
                                    QStringLiteral("Move file"), QStringLiteral("Delete file"),
                                    QStringLiteral("Execute file")};

// The label a window lists an action under. A kind code this program does not know (some
// other tool wrote it) keeps its action in the list under a label that shows the code.
inline QString labelFor(const QString& kind) {
    for (int position = 0; position < kLabels.size(); ++position) {
        if (kind == QString::number(position))
            return kLabels[position];
    }
    return QStringLiteral("Unknown action (%1)").arg(kind);
}

// The position of a kind code in the list, or -1 for a code it does not hold.
inline int positionOf(const QString& kind) {
    for (int position = 0; position < kLabels.size(); ++position) {
        if (kind == QString::number(position))
            return position;
    }
    return -1;
}

} // namespace ActionKinds
