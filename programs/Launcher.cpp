// SPDX-License-Identifier: MIT
// "Vortle.exe" as Setup installs it: a small program that loads the two runtime components
// from the system directory (c:\windows\system\ of the prefix) and starts the utility in them.
// When a component is missing it says which one, instead of failing in the loader.
#include "host/core/DosPath.h"
#include "host/core/FileSystem.h"
#include "host/core/RuntimeError.h"
#include "host/core/SystemDirs.h"
#include "host/gui/MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibrary>

#include <cstdio>
#include <optional>

namespace {

const char* const kRuntime = "msvbvm50.dll";
const char* const kComponent = "Comctl32.ocx";

// A component in the prefix's system directory (c:\windows\system\), by the host layer's own
// lookup, whatever the case of each name; empty when it is not there. This program uses the
// host layer for nothing else but the box that says so: the copy the components carry keeps
// the state of the run.
QString findComponent(const char* name) {
    const QString path = host::SystemDirectory() + QString::fromLatin1(name);
    try {
        return host::ownEntryExists(path) ? host::toHostPath(path) : QString();
    } catch (const host::RuntimeError&) {
        return {};
    }
}

int reportMissing(int argc, char** argv, const QString& text) {
    std::fprintf(stderr, "Vortle: %s\n",
                 qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    // A box that goes to the message-box log needs no display.
    std::optional<QApplication> app;
    if (qEnvironmentVariableIsEmpty("VORTLE_MSGBOX_LOG"))
        app.emplace(argc, argv);
    host::MsgBox(text, host::MB_ICONCRITICAL, QStringLiteral("Vortle"));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const QString runtime = findComponent(kRuntime);
    const QString component = findComponent(kComponent);
    const QString missingText = QStringLiteral(
        "Vortle cannot start: the runtime component %1 is missing from c:\\windows\\system\\.\n\n"
        "Run Setup again to install it.");
    if (runtime.isEmpty())
        return reportMissing(argc, argv, missingText.arg(QString::fromLatin1(kRuntime)));
    if (component.isEmpty())
        return reportMissing(argc, argv, missingText.arg(QString::fromLatin1(kComponent)));

    // The runtime first and for everyone: the component names it as the library it needs.
    QLibrary runtimeLibrary(runtime);
    QLibrary componentLibrary(component);
    for (QLibrary* library : {&runtimeLibrary, &componentLibrary}) {
        library->setLoadHints(QLibrary::ResolveAllSymbolsHint |
                              QLibrary::ExportExternalSymbolsHint);
        if (!library->load())
            return reportMissing(
                argc, argv,
                QStringLiteral("Vortle cannot start: %1 cannot be loaded (%2).")
                    .arg(QFileInfo(library->fileName()).fileName(), library->errorString()));
    }
    using Entry = int (*)(int, char**);
    auto entry = reinterpret_cast<Entry>(componentLibrary.resolve("vortle_main"));
    if (!entry)
        return reportMissing(argc, argv,
                             QStringLiteral("Vortle cannot start: %1 is not a Vortle component.")
                                 .arg(QString::fromLatin1(kComponent)));
    return entry(argc, argv);
}
