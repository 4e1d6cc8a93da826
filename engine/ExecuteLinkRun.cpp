// SPDX-License-Identifier: MIT
#include "ExecuteLinkRun.h"

#include "MkDir.h"

#include "host/core/DosPath.h"
#include "host/core/FileSystem.h"
#include "host/core/Location.h"
#include "host/core/Process.h"
#include "host/core/RuntimeError.h"

namespace vortle {

namespace {

bool onDriveA(const QString& path) {
    try {
        return host::parseDosPath(path).drive == QLatin1Char('a');
    } catch (const host::RuntimeError&) {
        return false;
    }
}

bool touchesDriveA(const DiskSettings::Action& action) {
    return onDriveA(action.firstPath) || onDriveA(action.secondPath);
}

// A path of the medium's own list without a drive letter ("x", "\x") is taken on drive A:,
// from its root: the list was never written for this machine's working directory. A path that
// starts with two separators stays as it is, and is refused as a bad file name.
QString onTheMedium(const QString& path) {
    if (path.isEmpty() || host::namesDrive(path) ||
        (path.size() >= 2 && host::isPathSeparator(path[0]) && host::isPathSeparator(path[1])))
        return path;
    return QStringLiteral("a:\\") + path.mid(host::rootLength(path));
}

// The action with its file paths taken as the medium's list means them; Execute file's command
// line keeps its own lookup of the program to start.
DiskSettings::Action asOnTheMedium(DiskSettings::Action action) {
    using namespace DiskSettings;
    if (action.kind == kCreateDirectory || action.kind == kDeleteFile)
        action.firstPath = onTheMedium(action.firstPath);
    if (action.kind == kCopyFile || action.kind == kMoveFile) {
        action.firstPath = onTheMedium(action.firstPath);
        action.secondPath = onTheMedium(action.secondPath);
    }
    return action;
}

} // namespace

ExecuteLinkRun::ExecuteLinkRun(QList<DiskSettings::Action> actions, ListRead list, QObject* parent)
    : QThread(parent), m_actions(std::move(actions)), m_list(list) {
    qRegisterMetaType<ExecuteLinkProgress>();
}

ExecuteLinkRun::~ExecuteLinkRun() {
    cancel();
    wait();
}

void ExecuteLinkRun::run() {
    ExecuteLinkProgress where;
    where.count = int(m_actions.size());
    // What the run writes is on its media, once, before the run is reported done.
    host::WriteBatch written;
    // The list is the medium's: the run's paths on a: resolve beneath this medium's root alone,
    // and a medium put in its place during the run stops it.
    const host::MediumHold medium;
    const bool cutShort = m_list == ListRead::CutShort;
    m_end = cutShort ? End::Failed : End::Done;
    m_failedAction = cutShort ? int(m_actions.size()) : -1;
    for (int i = 0; i < m_actions.size(); ++i) {
        if (m_cancel) {
            m_end = End::Cancelled;
            break;
        }
        where = {i, where.count, m_actions[i], 0, 0};
        emit progress(where);
        const DiskSettings::Action action = asOnTheMedium(m_actions[i]);
        written.beginStep(i);
        try {
            // Copies in a row share their waits on the medium; anything else sees what the
            // copies before it wrote.
            if (action.kind != DiskSettings::kCopyFile)
                written.settle();
            if (touchesDriveA(action) && !medium.isInDrive())
                host::raise(host::ErrDiskNotReady);
            runAction(action, written, where);
        } catch (const host::RuntimeError& error) {
            m_end = End::Failed;
            m_failedAction = written.failedStep() >= 0 ? written.failedStep() : i;
            m_error = error.number();
            break;
        } catch (const host::CopyCancelled&) {
            m_end = End::Cancelled;
            break;
        }
    }
    // Also after a failure or a Cancel: what was written stays written. The progress window
    // shows this last wait as a part of the run.
    where.finishing = true;
    emit progress(where);
    try {
        written.finish();
    } catch (const host::RuntimeError& error) {
        if (m_end == End::Done) { // not on the medium is not done
            m_end = End::Failed;
            m_failedAction =
                written.failedStep() >= 0 ? written.failedStep() : int(m_actions.size()) - 1;
            m_error = error.number();
        }
    }
}

void ExecuteLinkRun::runAction(const DiskSettings::Action& action, host::WriteBatch& written,
                               ExecuteLinkProgress& where) {
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
        written.settle();
        host::deleteFiles(action.firstPath);
    } else if (action.kind == kDeleteFile) {
        host::deleteFiles(action.firstPath);
    } else if (action.kind == kExecuteFile) {
        host::startProcess(action.firstPath, 1);
    }
    // Any other kind code is passed over.
}

} // namespace vortle
