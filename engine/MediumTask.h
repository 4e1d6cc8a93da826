// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

namespace vortle {

// Work on a medium, on a thread of its own that the caller may leave behind: a medium that
// never answers (a dying diskette, a stalled driver) keeps only that thread. The work takes
// copies of what it needs and hands its outcome back through what it captured by shared
// pointer, never through the caller's objects, which may be gone when it ends.
class MediumTask : public QObject {
    Q_OBJECT
public:
    explicit MediumTask(std::function<void()> work, QObject* parent = nullptr);
    ~MediumTask() override;

    void start();
    // Blocks the calling thread until the work has ended or `limit` has passed; true when it
    // has ended. For the short wait before a window would notice.
    bool waitFor(std::chrono::milliseconds limit);
    bool isDone() const;
    // The run-time error number the work raised, 0 for none (once done).
    int error() const;

signals:
    void finished(); // on the thread that owns the task

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace vortle
