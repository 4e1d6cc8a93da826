// SPDX-License-Identifier: MIT
#pragma once

#include "DiskSettings.h"

#include <QList>
#include <QMetaType>
#include <QThread>

#include <atomic>

namespace host {
class WriteBatch;
}

namespace vortle {

// Where a run of the action list stands, for the progress window.
struct ExecuteLinkProgress {
    int action = 0; // from 0
    int count = 0;
    DiskSettings::Action current;
    qint64 bytesDone = 0; // of the current copy
    qint64 bytesTotal = 0;
    bool finishing = false; // the actions are done; what they wrote goes onto the media
};

// One run of a diskette's action list, on a thread of its own so that the windows keep
// painting and answering while large files are copied. The actions run in order; the first
// failure ends the run, and what ran before it stays done. Knows no window: it reports.
class ExecuteLinkRun : public QThread {
    Q_OBJECT
public:
    enum class End { Done, Failed, Cancelled };

    // ListRead::CutShort: the list could not be read to its end; the run then fails after the
    // actions that were read, as a run that stops at an unreadable action does.
    enum class ListRead { Whole, CutShort };
    explicit ExecuteLinkRun(QList<DiskSettings::Action> actions, ListRead list = ListRead::Whole,
                            QObject* parent = nullptr);
    ~ExecuteLinkRun() override;

    // Stops the run at the next safe point: between two actions, or between two pieces of a
    // copy, whose temporary file then goes; the destination stays as it was. Any thread.
    void cancel() { m_cancel = true; }

    // How the run ended, once it has.
    End end() const { return m_end; }
    // Of a failed run: the action that failed (from 0; the action after the last one read
    // when the list was cut short) and its error number (0 for a list cut short).
    int failedAction() const { return m_failedAction; }
    int error() const { return m_error; }

signals:
    void progress(const ExecuteLinkProgress& where);

protected:
    void run() override;

private:
    void runAction(const DiskSettings::Action& action, host::WriteBatch& written,
                   ExecuteLinkProgress& where);

    const QList<DiskSettings::Action> m_actions;
    const ListRead m_list;
    std::atomic_bool m_cancel = false;
    End m_end = End::Done;
    int m_failedAction = -1;
    int m_error = 0;
};

} // namespace vortle

Q_DECLARE_METATYPE(vortle::ExecuteLinkProgress)
