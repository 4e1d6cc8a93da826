// SPDX-License-Identifier: MIT
#include "Module1.h"

#include "ExecuteLinkWindow.h"
#include "MediumWait.h"
#include "engine/DiskDisplay.h"
#include "engine/DiskEngine.h"
#include "engine/ExecuteLinkRun.h"

#include "host/core/Location.h"
#include "host/core/RuntimeError.h"
#include "host/gui/MediumText.h"
#include "host/gui/MessageBox.h"
#include "host/gui/Notification.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

using namespace vortle;

namespace Module1 {
namespace {

QPointer<DiskDisplay> g_display;

// The run in progress, and its window once it has taken long enough to want one.
QPointer<ExecuteLinkRun> g_run;
QPointer<ExecuteLinkWindow> g_progress;

// A run that ends within this shows nothing new.
constexpr int kProgressDelayMs = 500;

const QString kCouldNotExecute = QStringLiteral("Couldn't execute action.");

// The desktop's notification of a run's end: the disk's name, and how many actions ran or
// which one failed and why.
void announceEnd(const ExecuteLinkRun& run, int actions) {
    const QString name = g_display ? g_display->toolTip() : QString();
    QString body;
    if (run.end() == ExecuteLinkRun::End::Done) {
        body = QCoreApplication::translate("ExecuteLink", "Actions run: %1").arg(actions);
    } else {
        body = kCouldNotExecute;
        if (run.error() != 0)
            body += QLatin1Char('\n') + QCoreApplication::translate("ExecuteLink", "Action %1: %2")
                                            .arg(run.failedAction() + 1)
                                            .arg(host::errorDescription(run.error()));
    }
    host::notifyDesktop(name.isEmpty() ? kTitle : host::mediumText(name), body);
}

// The medium the disk display was last filled from (none: no medium, or never filled).
std::optional<host::MediumId> g_shownMedium;

// The drive's state, asked off the window thread; a drive that does not answer is not ready.
// For drive A:, also notes which medium the display is about to show.
DiskEngine::DriveState probe(const QString& drive, DiskEngine::Sweep sweep) {
    struct Probed {
        DiskEngine::DriveState state;
        host::MediumId medium;
    };
    const auto probed = std::make_shared<Probed>();
    try {
        waitForMedium([probed, drive, sweep] {
            probed->state = DiskEngine::probeDrive(drive, sweep);
            probed->medium = host::MediumId::ofDriveA();
        });
    } catch (const host::RuntimeError&) {
        return DiskEngine::DriveState::NotReady;
    }
    g_shownMedium = probed->medium;
    return probed->state;
}

// The disk display for a ready diskette, or the no-disk picture. A diskette whose icon cannot
// be shown (or that stops answering) keeps the picture shown before.
void showDiskette(bool ready, DiskEngine::SettingsFile settings) {
    if (!ready) {
        if (!g_display)
            return;
        g_display->setPicture(g_display->noDiskPicture());
        g_display->setToolTip(QStringLiteral("Reload Disk-Settings"));
        return;
    }
    const auto identity = std::make_shared<DiskEngine::DiskIdentity>();
    try {
        waitForMedium([identity, settings] { *identity = DiskEngine::readIdentity(settings); });
    } catch (const host::RuntimeError&) {
        return;
    }
    setDiskIdentity(identity->image, identity->name);
}

} // namespace

bool CheckDrive(const QString& drive) {
    switch (probe(drive, DiskEngine::Sweep::StaleTemporaries)) {
    case DiskEngine::DriveState::Ready:
        return true;
    case DiskEngine::DriveState::NoDrive:
        host::MsgBox(QStringLiteral("Laufwerk nicht vorhanden."), host::MB_OK, kTitle);
        return false;
    case DiskEngine::DriveState::NotReady:
        host::MsgBox(QStringLiteral("Keine Diskette in Laufwerk ") + drive.left(1).toUpper() +
                         QStringLiteral(":"),
                     host::MB_OK, kTitle);
        return false;
    case DiskEngine::DriveState::Unreadable:
        return false; // no message of its own
    }
    return false;
}

bool diskInserted() {
    if (CheckDrive(QStringLiteral("a:")))
        return true;
    host::MsgBox(QStringLiteral("No disk inserted."), host::MB_ICONCRITICAL, kTitle);
    return false;
}

void reportWriteFailure() {
    host::MsgBox(QStringLiteral("Couldn't write on disk."), host::MB_ICONCRITICAL, kTitle);
}

void setDiskDisplay(DiskDisplay* display) {
    g_display = display;
}

QImage diskIconPicture() {
    return g_display ? g_display->picture() : QImage();
}

void setDiskIdentity(const QImage& picture, const QString& name) {
    if (!g_display)
        return;
    g_display->setToolTip(name);
    if (!picture.isNull())
        g_display->setPicture(picture);
}

void ReloadDiskSettings() {
    showDiskette(CheckDrive(QStringLiteral("a:")), DiskEngine::SettingsFile::CreateMissing);
}

void RefreshDiskDisplayIfMediumChanged() {
    host::MediumId now;
    try {
        const auto medium = std::make_shared<host::MediumId>();
        waitForMedium([medium] { *medium = host::MediumId::ofDriveA(); });
        now = *medium;
    } catch (const host::RuntimeError&) {
        return; // a medium that does not answer cannot be shown either
    }
    if (g_shownMedium && *g_shownMedium == now)
        return;
    RefreshDiskDisplay();
}

void RefreshDiskDisplay() {
    showDiskette(probe(QStringLiteral("a:"), DiskEngine::Sweep::Nothing) ==
                     DiskEngine::DriveState::Ready,
                 DiskEngine::SettingsFile::ReadOnly);
}

void ExecuteLink() {
    if (g_run) {
        // A second click while a run is in progress only brings its window forward.
        if (g_progress) {
            g_progress->raise();
            g_progress->activateWindow();
        }
        return;
    }
    if (!CheckDrive(QStringLiteral("a:"))) {
        host::MsgBox(QStringLiteral("There's no disk in the drive."), host::MB_ICONCRITICAL,
                     kTitle);
        return;
    }
    DiskEngine::ActionList list;
    try {
        const auto contents = std::make_shared<DiskEngine::DiskContents>();
        waitForMedium([contents] { *contents = DiskEngine::readContents(); });
        list = contents->list;
    } catch (const host::RuntimeError&) {
        list.complete = false; // a list that cannot be read runs nothing, and fails
    }

    // The run goes on its own thread; this handler waits for it in an event loop of its own,
    // so the windows keep painting and answering, and its callers see it end as before.
    // The main window is the display's owner.
    const QPointer<QWidget> mainWindow =
        g_display ? qobject_cast<QWidget*>(g_display->parent()) : nullptr;
    // A list cut short by an unreadable file runs the actions read, then fails.
    ExecuteLinkRun run(list.actions, list.complete ? ExecuteLinkRun::ListRead::Whole
                                                   : ExecuteLinkRun::ListRead::CutShort);
    g_run = &run;
    ExecuteLinkProgress last;
    QObject::connect(&run, &ExecuteLinkRun::progress, &run, [&](const ExecuteLinkProgress& where) {
        last = where;
        if (g_progress)
            g_progress->setProgress(where);
    });
    QTimer later;
    later.setSingleShot(true);
    QObject::connect(&later, &QTimer::timeout, &run, [&] {
        auto* window = new ExecuteLinkWindow(mainWindow);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(window, &ExecuteLinkWindow::cancelRequested, &run, [&] { run.cancel(); });
        window->setProgress(last);
        window->show();
        g_progress = window;
    });
    QEventLoop loop;
    QObject::connect(&run, &QThread::finished, &loop, &QEventLoop::quit);
    if (mainWindow)
        mainWindow->setCursor(Qt::BusyCursor);
    later.start(kProgressDelayMs);
    run.start();
    loop.exec();
    later.stop();
    // A long run that ends while the user is elsewhere tells the desktop; one the user
    // cancelled needs no word.
    const bool tellDesktop =
        g_progress && !QApplication::activeWindow() && run.end() != ExecuteLinkRun::End::Cancelled;
    if (g_progress)
        g_progress->close();
    if (mainWindow)
        mainWindow->unsetCursor();
    g_run = nullptr;
    if (tellDesktop) {
        announceEnd(run, int(list.actions.size()));
        if (mainWindow)
            QApplication::alert(mainWindow);
    }
    // A cancelled run is no failure.
    if (run.end() == ExecuteLinkRun::End::Failed)
        host::MsgBox(kCouldNotExecute, host::MB_ICONCRITICAL, kTitle);
}

} // namespace Module1
