// SPDX-License-Identifier: MIT
#include "VortleMain.h"

#include "StartUp.h"

#include "host/ClassicFont.h"
#include "host/CommandLine.h"
#include "host/ErrorReport.h"
#include "host/FormInstance.h"
#include "host/Prefix.h"

int vortleMain(int argc, char** argv) {
    if (const std::optional<int> end = host::handleCommandLine(
            argc, argv,
            {QStringLiteral("vortle"),
             QStringLiteral("A desktop companion for the diskette or stick in drive A:.")}))
        return *end;
    host::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortle"));
    QApplication::setApplicationVersion(QStringLiteral(VORTLE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.vortle.vortle"));
    // The program ends only through the main window's unload, never when the splash closes.
    QApplication::setQuitOnLastWindowClosed(false);

    host::useClassicFont();
    host::ensurePrefix();
    host::FormInstance<StartUp>::show();
    return QApplication::exec();
}
