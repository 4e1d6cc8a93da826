// SPDX-License-Identifier: MIT
#include "MediumTask.h"

#include "host/core/RuntimeError.h"

#include <QCoreApplication>
#include <QPointer>

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

namespace vortle {

struct MediumTask::State {
    std::function<void()> work;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    int error = 0;
    QPointer<MediumTask> task; // read and cleared on the owner's thread only
};

MediumTask::MediumTask(std::function<void()> work, QObject* parent)
    : QObject(parent), m_state(std::make_shared<State>()) {
    m_state->work = std::move(work);
    m_state->task = this;
}

MediumTask::~MediumTask() {
    m_state->task = nullptr; // a thread that still waits on the medium tells nobody
}

void MediumTask::start() {
    // Detached: the thread owns a share of the state, so whatever it waits on, nothing it
    // touches goes away under it.
    std::thread([state = m_state] {
        int error = 0;
        try {
            state->work();
        } catch (const host::RuntimeError& failure) {
            error = failure.number();
        } catch (const std::bad_alloc&) {
            error = host::ErrOutOfMemory;
        }
        // What the work holds (a medium's root among it) goes now, not with the last share
        // of the state: that may wait in the owner's event queue.
        state->work = nullptr;
        {
            const std::lock_guard lock(state->mutex);
            state->done = true;
            state->error = error;
        }
        state->ended.notify_all();
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [state] {
                    if (state->task)
                        emit state->task->finished();
                },
                Qt::QueuedConnection);
    }).detach();
}

bool MediumTask::waitFor(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_state->mutex);
    return m_state->ended.wait_for(lock, limit, [this] { return m_state->done; });
}

bool MediumTask::isDone() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->done;
}

int MediumTask::error() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->error;
}

} // namespace vortle
