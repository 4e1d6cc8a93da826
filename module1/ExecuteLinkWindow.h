// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vortle {

struct ExecuteLinkProgress;

// "Execute Link": a small modeless window for a run that takes a while. It shows which action
// of how many runs, its kind and paths as the list holds them, and the bytes done of the
// current copy; "Cancel" asks the run to stop.
class ExecuteLinkWindow : public QWidget {
    Q_OBJECT
public:
    explicit ExecuteLinkWindow(QWidget* parent = nullptr);

    // Shows where the run stands.
    void setProgress(const ExecuteLinkProgress& where);
    // Shows that a window's handler waits for drive A: to answer.
    void setWaiting();

signals:
    void cancelRequested();

private:
    QLabel* m_action;
    QLabel* m_paths;
    QProgressBar* m_bytes;
    QPushButton* m_cancel;
};

} // namespace vortle
