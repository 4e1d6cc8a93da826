// SPDX-License-Identifier: MIT
#include "ExecuteLinkRun.h"

#include "MkDir.h"

#include "host/core/DosPath.h"
#include "host/core/FileSystem.h"
#include "host/core/Process.h"
#include "host/core/RuntimeError.h"

#include <algorithm>

namespace vortle {

namespace {

bool onDriveA(const QString& path) {
    try {
        return host::parseDosPath(path).drive == QLatin1Char('a');
    } catch (const host::RuntimeError&) {
        return false;
    }
}

// Whether an action changes something on drive A: (a relative path counts when the current
// directory is there).
bool writesToDriveA(const DiskSettings::Action& action) {
    using namespace DiskSettings;
    QStringList written;
    if (action.kind == kCreateDirectory || action.kind == kDeleteFile)
        written = {action.firstPath};
    else if (action.kind == kCopyFile)
        written = {action.secondPath};
    else if (action.kind == kMoveFile)
        written = {action.firstPath, action.secondPath};
    return std::any_of(written.begin(), written.end(), onDriveA);
}

bool touchesDriveA(const DiskSettings::Action& action) {
    return onDriveA(action.firstPath) || onDriveA(action.secondPath);
}

} // namespace

ExecuteLinkRun::ExecuteLinkRun(QList<DiskSettings::Action> actions, bool listCutShort,
                               QObject* parent)
    : QThread(parent), m_actions(std::move(actions)), m_listCutShort(listCutShort) {
    qRegisterMetaType<ExecuteLinkProgress>();
}

ExecuteLinkRun::~ExecuteLinkRun() {
    cancel();
    wait();
}

void ExecuteLinkRun::run() {
    ExecuteLinkProgress where;
    where.count = int(m_actions.size());
    bool wroteToDriveA = false;
    // The list is the medium's: a medium put in its place during the run is not touched.
    const std::optional<host::MediumIdentity> medium = host::mediumIdentity(QLatin1Char('a'));
    m_end = m_listCutShort ? End::Failed : End::Done;
    m_failedAction = m_listCutShort ? int(m_actions.size()) : -1;
    for (int i = 0; i < m_actions.size(); ++i) {
        if (m_cancel) {
            m_end = End::Cancelled;
            break;
        }
        where = {i, where.count, m_actions[i], 0, 0};
        emit progress(where);
        wroteToDriveA = wroteToDriveA || writesToDriveA(m_actions[i]);
        try {
            if (touchesDriveA(m_actions[i]) && host::mediumIdentity(QLatin1Char('a')) != medium)
                host::raise(host::ErrDiskNotReady);
            runAction(m_actions[i], where);
        } catch (const host::RuntimeError& error) {
            m_end = End::Failed;
            m_failedAction = i;
            m_error = error.number();
            break;
        } catch (const host::CopyCancelled&) {
            m_end = End::Cancelled;
            break;
        }
    }
    // What the run wrote on the diskette is on it before the run is reported done.
    if (wroteToDriveA)
        host::resumeNext([] { host::syncDrive(QLatin1Char('a')); });
}

void ExecuteLinkRun::runAction(const DiskSettings::Action& action, ExecuteLinkProgress& where) {
    using namespace DiskSettings;
    const host::CopyProgress copied = [&](qint64 done, qint64 total) {
        where.bytesDone = done;
        where.bytesTotal = total;
        emit progress(where);
        return !m_cancel.load();
    };
    if (action.kind == kCreateDirectory) {
        Mk_Dir(action.firstPath);
    } else if (action.kind == kCopyFile) {
        host::copyFile(action.firstPath, action.secondPath, copied);
    } else if (action.kind == kMoveFile) {
        // The source goes only once the copy is complete and in place.
        host::copyFile(action.firstPath, action.secondPath, copied);
        host::deleteFiles(action.firstPath);
    } else if (action.kind == kDeleteFile) {
        host::deleteFiles(action.firstPath);
    } else if (action.kind == kExecuteFile) {
        host::startProcess(action.firstPath, 1);
    }
    // Any other kind code is passed over.
}

} // namespace vortle
