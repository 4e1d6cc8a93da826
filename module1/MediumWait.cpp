// SPDX-License-Identifier: MIT
#include "MediumWait.h"

#include "ExecuteLinkWindow.h"
#include "engine/MediumTask.h"
#include "host/core/RuntimeError.h"
#include "host/image/Picture.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <memory>

using namespace std::chrono_literals;

namespace Module1 {
namespace {

// A medium that answers within this keeps the window thread for no longer: no event loop of
// its own is needed, and no window can notice.
constexpr auto kQuickWait = 50ms;
constexpr int kProgressDelayMs = 500;

// How long a medium may take to answer one handler; VORTLE_MEDIUM_LIMIT_MS shortens it for
// the tests.
int limitMs() {
    static const int limit = [] {
        bool ok = false;
        const int set = qEnvironmentVariableIntValue("VORTLE_MEDIUM_LIMIT_MS", &ok);
        return ok && set > 0 ? set : 15000;
    }();
    return limit;
}

// Keeps the user's clicks and keys from the windows while a handler waits, but for the window
// that tells of the wait: a second handler never starts in the middle of the first.
class InputHold : public QObject {
public:
    explicit InputHold(const QPointer<QWidget>& allowed) : m_allowed(allowed) {
        qApp->installEventFilter(this);
    }
    ~InputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin: {
            auto* widget = qobject_cast<QWidget*>(watched);
            return !(m_allowed && widget && m_allowed->isAncestorOf(widget)) &&
                   !(m_allowed && widget == m_allowed);
        }
        default:
            return false;
        }
    }

private:
    const QPointer<QWidget>& m_allowed;
};

} // namespace

void waitForMedium(std::function<void()> work) {
    vortle::MediumTask task(std::move(work));
    task.start();
    if (!task.waitFor(kQuickWait)) {
        QEventLoop loop;
        QObject::connect(&task, &vortle::MediumTask::finished, &loop, &QEventLoop::quit);
        QPointer<QWidget> window;
        const InputHold hold(window);
        QTimer later;
        later.setSingleShot(true);
        QObject::connect(&later, &QTimer::timeout, &loop, [&] {
            auto* shown = new vortle::ExecuteLinkWindow(QApplication::activeWindow());
            shown->setAttribute(Qt::WA_DeleteOnClose);
            shown->setWaiting();
            QObject::connect(shown, &vortle::ExecuteLinkWindow::cancelRequested, &loop,
                             &QEventLoop::quit);
            shown->show();
            window = shown;
        });
        later.start(std::max(0, kProgressDelayMs - int(kQuickWait.count())));
        QTimer::singleShot(limitMs(), &loop, &QEventLoop::quit);
        QApplication::setOverrideCursor(Qt::BusyCursor);
        loop.exec();
        QApplication::restoreOverrideCursor();
        if (window)
            window->close();
    }
    if (!task.isDone())
        host::raise(host::ErrDiskNotReady); // its thread may go on waiting; nobody listens
    if (task.error() != 0)
        host::raise(task.error());
}

QImage previewPicture(const QString& dosPath) {
    const auto image = std::make_shared<QImage>();
    try {
        waitForMedium([dosPath, image] { *image = host::loadPicture(dosPath); });
    } catch (const host::RuntimeError&) {
        return {};
    }
    return *image;
}

} // namespace Module1
