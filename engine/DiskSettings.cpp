// SPDX-License-Identifier: MIT
#include "DiskSettings.h"

#include "storage/RecordFile.h"

namespace vortle::DiskSettings {
namespace {

// Action i of an open disk settings file; an empty kind code means the list has ended.
Action readAction(int fileNumber, int action) {
    Action result;
    // A kind code written as a number by some other tool counts by its string form.
    result.kind = storage::GetRecord(fileNumber, kindRecord(action)).toText();
    if (result.kind.isEmpty())
        return result;
    result.firstPath = storage::GetRecord(fileNumber, firstPathRecord(action)).toText();
    result.secondPath = storage::GetRecord(fileNumber, secondPathRecord(action)).toText();
    return result;
}

} // namespace

void readActions(int fileNumber, QList<Action>& actions) {
    for (int i = 0; i < kMaxActions; ++i) {
        Action action = readAction(fileNumber, i);
        if (action.kind.isEmpty())
            return;
        actions.append(std::move(action));
    }
}

} // namespace vortle::DiskSettings
