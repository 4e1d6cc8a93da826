// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>

#include <cstdio>

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
    // Parsed without an application object: none may exist before the display is known.
    QCommandLineParser parser;
    parser.setApplicationDescription(identity.description);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Qt's own options (-platform, -display, ...) go through to the application.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.parse(arguments);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        QString text = parser.helpText();
        text.replace(QLatin1String("<executable_name>"), identity.name);
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(identity.name), VORTLE_VERSION);
        return 0;
    }
    if (needsDisplay() && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !arguments.contains("-platform")) {
        std::fprintf(stderr,
                     "%s: there is no display to show its windows on; without a desktop, start "
                     "it on a virtual one: xvfb-run -a %s\n",
                     qPrintable(identity.name), qPrintable(identity.name));
        return 1;
    }
    return std::nullopt;
}

} // namespace host
