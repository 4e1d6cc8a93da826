// SPDX-License-Identifier: MIT
#include "VortleMain.h"

#include "Session.h"
#include "forms/app/Main.h"
#include "forms/app/StartUp.h"
#include "resources/Pictures.h"

#include "host/core/Prefix.h"
#include "host/gui/ClassicFont.h"
#include "host/gui/CommandLine.h"
#include "host/gui/DesignStyle.h"
#include "host/gui/ErrorReport.h"
#include "host/gui/FormInstance.h"
#include "host/gui/Translations.h"

using namespace vortle;

namespace {

// On a desktop that offers both, XWayland: there the window manager honours the panel's place,
// the topmost band and the splash's centring; a Wayland compositor decides them itself. Where
// the X server cannot be reached (it died, a nested session), Wayland after all.
void preferX11WhereBothRun() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

} // namespace

int vortleMain(int argc, char** argv) {
    preferX11WhereBothRun();
    if (const std::optional<int> end = host::handleCommandLine(
            argc, argv,
            {QStringLiteral("vortle"),
             QT_TRANSLATE_NOOP("CommandLine",
                               "A desktop companion for the diskette or stick in drive A:.")}))
        return *end;
    host::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortle"));
    QApplication::setApplicationVersion(QStringLiteral(VORTLE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.vortle.vortle"));
    // Every window's icon, message boxes included, unless the window has its own.
    QApplication::setWindowIcon(Pictures::icon(QStringLiteral("diskette.ico")));
    // The program ends only through the main window's unload, never when the splash closes.
    QApplication::setQuitOnLastWindowClosed(false);
    host::loadTranslations();

    host::useClassicFont();
    host::useDesignStyle();
    host::ensurePrefix();
    // One panel per session: a second start brings the running one to the front.
    if (Session::raiseRunningPanel())
        return 0;
    // Said by the start that shows a panel, not by one that hands over to it.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        qInfo("%s", qPrintable(QCoreApplication::translate(
                        "vortle", "vortle: on Wayland the compositor decides where the panel "
                                  "goes, whether it stays on top and where the splash shows.")));
    Session session;
    QObject::connect(&session, &Session::raiseRequested, &session, [] {
        if (Main* panel = host::FormInstance<Main>::loaded()) {
            panel->setWindowState(panel->windowState() & ~Qt::WindowMinimized);
            panel->raise();
            panel->activateWindow();
        }
    });
    // A logout, Ctrl+C or a session manager's quit: the unload writes the place and ends.
    const auto end = [] {
        if (Main* panel = host::FormInstance<Main>::loaded())
            panel->close();
        else
            host::endProgram(0);
    };
    QObject::connect(&session, &Session::endRequested, &session, end);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &session, end);
    host::FormInstance<StartUp>::show();
    return QApplication::exec();
}
