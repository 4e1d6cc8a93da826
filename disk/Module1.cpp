#include "Module1.h"

#include "DiskSettings.h"
#include "ExecuteLinkWindow.h"
#include "ExecuteLinkRun.h"

#include "host/DosPath.h"
#include "host/FileSystem.h"
#include "host/MessageBox.h"
#include "host/Picture.h"
#include "host/RuntimeError.h"
#include "storage/RecordFile.h"

#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace Module1 {
namespace {

QPointer<QLabel> g_picIcon;
QPointer<QLabel> g_picNoDisk;

// The run in progress, and its window once it has taken long enough to want one.
QPointer<ExecuteLinkRun> g_run;
QPointer<ExecuteLinkWindow> g_progress;

// A run that ends within this shows nothing new.
constexpr int kProgressDelayMs = 500;

} // namespace

bool CheckDrive(const QString& drive) {
    const QString letter = drive.left(1);
    try {
        host::findFirstFile(letter + QStringLiteral(":\\*.*"), host::AttrNormal);
    } catch (const host::RuntimeError& error) {
        if (error.number() == host::ErrDeviceUnavailable)
            host::MsgBox(QStringLiteral("Laufwerk nicht vorhanden."), host::MB_OK, kTitle);
        else if (error.number() == host::ErrDiskNotReady)
            host::MsgBox(QStringLiteral("Keine Diskette in Laufwerk ") + letter.toUpper() +
                             QStringLiteral(":"),
                         host::MB_OK, kTitle);
        return false;
    }
    // What a killed run left on the medium would silently fill it.
    host::resumeNext([&] { host::removeStaleTemporaries(letter + QStringLiteral(":\\")); });
    return true;
}

void setDiskDisplay(QLabel* picIcon, QLabel* picNoDisk) {
    g_picIcon = picIcon;
    g_picNoDisk = picNoDisk;
}

QPixmap diskIconPicture() {
    return g_picIcon ? g_picIcon->pixmap() : QPixmap();
}

void setDiskIdentity(const QPixmap& picture, const QString& name) {
    if (!g_picIcon)
        return;
    g_picIcon->setPixmap(picture);
    g_picIcon->setToolTip(name);
}

namespace {

// The disk display for a ready diskette, or the no-disk picture.
void showDiskette(bool ready, bool createSettingsFile) {
    if (!ready) {
        if (g_picIcon && g_picNoDisk)
            g_picIcon->setPixmap(g_picNoDisk->pixmap());
        if (g_picIcon)
            g_picIcon->setToolTip(QStringLiteral("Reload Disk-Settings"));
        return;
    }
    QString diskName;
    if (createSettingsFile || host::fileExists(DiskSettings::kSettingsPath))
        host::resumeNext([&] {
            storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
                diskName = storage::GetRecord(file, DiskSettings::kNameRecord).toText();
            });
        });
    if (g_picIcon)
        g_picIcon->setToolTip(diskName);
    host::resumeNext([&] {
        const QPixmap picture = host::LoadPicture(DiskSettings::kIconPath);
        if (g_picIcon)
            g_picIcon->setPixmap(picture);
    });
}

} // namespace

void ReloadDiskSettings() {
    showDiskette(CheckDrive(QStringLiteral("a:")), true);
}

void RefreshDiskDisplay() {
    bool ready = true;
    try {
        host::findFirstFile(QStringLiteral("a:\\*.*"), host::AttrNormal);
    } catch (const host::RuntimeError&) {
        ready = false;
    }
    showDiskette(ready, false);
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
    QList<DiskSettings::Action> actions;
    bool cutShort = false;
    try {
        storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
            for (int i = 0; i < DiskSettings::kMaxActions; ++i) {
                const DiskSettings::Action action = DiskSettings::readAction(file, i);
                if (action.kind.isEmpty())
                    break;
                actions.append(action);
            }
        });
    } catch (const host::RuntimeError&) {
        cutShort = true; // the actions read before it still run, then the run fails
    }

    // The run goes on its own thread; this handler waits for it in an event loop of its own,
    // so the windows keep painting and answering, and its callers see it end as before.
    const QPointer<QWidget> mainWindow = g_picIcon ? g_picIcon->window() : nullptr;
    ExecuteLinkRun run(actions, cutShort);
    g_run = &run;
    ExecuteLinkProgress last;
    QObject::connect(&run, &ExecuteLinkRun::progress, &run, [&](const ExecuteLinkProgress& where) {
        last = where;
        if (g_progress)
            g_progress->show(where);
    });
    QTimer later;
    later.setSingleShot(true);
    QObject::connect(&later, &QTimer::timeout, &run, [&] {
        auto* window = new ExecuteLinkWindow(mainWindow);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(window, &ExecuteLinkWindow::cancelRequested, &run, [&] { run.cancel(); });
        window->show(last);
        window->QWidget::show();
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
    if (g_progress)
        g_progress->close();
    if (mainWindow)
        mainWindow->unsetCursor();
    g_run = nullptr;
    // A cancelled run is no failure.
    if (run.end() == ExecuteLinkRun::End::Failed)
        host::MsgBox(QStringLiteral("Couldn't execute action."), host::MB_ICONCRITICAL, kTitle);
}

} // namespace Module1
