// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <iterator>

// The kinds of action, in one table: the code stored on the diskette, the label the windows
// list an action under (in this order in the action editor's list), and the prompts of the
// editor's second page.
namespace vortle::ActionKinds {

struct ActionKind {
    const char* code;
    const char* label;
    const char* firstPrompt;
    const char* secondPrompt; // nullptr: the kind takes one path
};

inline constexpr ActionKind kKinds[] = {
    {"0", "Create directory", "Name of the directory to be created", nullptr},
    {"1", "Copy file", "Source file", "Destination file"},
    {"2", "Move file", "Source file", "Destination file"},
    {"3", "Delete file", "File to be deleted", nullptr},
    {"4", "Execute file", "File to be executed", nullptr},
};
inline constexpr int kCount = int(std::size(kKinds));

inline QStringList labels() {
    QStringList result;
    for (const ActionKind& kind : kKinds)
        result << QString::fromLatin1(kind.label);
    return result;
}

// The position of a kind code in the table, or -1 for a code it does not hold.
inline int positionOf(const QString& code) {
    for (int position = 0; position < kCount; ++position) {
        if (code == QLatin1String(kKinds[position].code))
            return position;
    }
    return -1;
}

// The label a window lists an action under. A kind code this program does not know (some
// other tool wrote it) keeps its action in the list under a label that shows the code.
inline QString labelFor(const QString& code) {
    const int position = positionOf(code);
    return position >= 0 ? QString::fromLatin1(kKinds[position].label)
                         : QStringLiteral("Unknown action (%1)").arg(code);
}

} // namespace vortle::ActionKinds
