// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "Translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace host {
namespace {

// Platforms that need a display server; offscreen, minimal, vnc and the like need none.
bool needsDisplay() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    return platform.isEmpty() || platform.startsWith(QLatin1String("xcb")) ||
           platform.startsWith(QLatin1String("wayland"));
}

} // namespace

std::optional<int> handleCommandLine(int argc, char** argv, const ProgramIdentity& identity) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Parsed without a windowing application: none may exist before the display is known. A
    // core one carries the catalogue of the desktop's language for the texts below.
    std::optional<QCoreApplication> core(std::in_place, argc, argv);
    loadTranslations();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", identity.description));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Qt's own options (-platform offscreen, -display :1, ...) are known here, so that what
    // is left over is a mistake; the application takes them up once it exists.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
          "qwindowicon", "qwindowtitle", "display", "geometry", "style", "stylesheet", "session",
          "name", "title", "qmljsdebugger", "visual"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 1;
    }
    // The programs take no file or other argument: one is a mistake, as an unknown option is.
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate("CommandLine", "Unknown argument '%1'.")
                                    .arg(extra.first())));
        return 1;
    }
    if (parser.isSet(QStringLiteral("help-all"))) {
        // Qt lists its own options only through an application object; one without a display,
        // started by the command's name so that the usage line names it.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        core.reset();
        QByteArray command = identity.name.toLocal8Bit();
        std::vector<char*> named(argv, argv + argc);
        named[0] = command.data();
        int count = argc;
        QApplication application(count, named.data());
        loadTranslations();
        parser.process(application); // prints the help and ends the program
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        // The usage line names the command as it is typed, not the path it was started by.
        if (const qsizetype at = text.indexOf(arguments.first()); at >= 0)
            text.replace(at, arguments.first().size(), identity.name);
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(identity.name), VORTLE_VERSION);
        return 0;
    }
    if (needsDisplay() && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !parser.isSet(QStringLiteral("platform"))) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate(
                                    "CommandLine",
                                    "%1: there is no display to show its windows on; without a "
                                    "desktop, start it on a virtual one: xvfb-run -a %1")
                                    .arg(identity.name)));
        return 1;
    }
    return std::nullopt;
}

} // namespace host
