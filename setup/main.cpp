// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "host/ClassicFont.h"
#include "host/CommandLine.h"
#include "host/ErrorReport.h"
#include "host/FormInstance.h"
#include "host/Prefix.h"

int main(int argc, char** argv) {
    if (const std::optional<int> end = host::handleCommandLine(
            argc, argv,
            {QStringLiteral("vortle-setup"),
             QStringLiteral("Installs Vortle from the set-up folder, or removes it again.")}))
        return *end;
    host::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortle Installation"));
    host::useClassicFont();
    host::ensurePrefix();
    host::FormInstance<Form1>::show();
    return QApplication::exec();
}
