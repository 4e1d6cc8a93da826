// SPDX-License-Identifier: MIT
#include "forms/setup/Form1.h"

#include "host/core/Prefix.h"
#include "host/gui/ClassicFont.h"
#include "host/gui/CommandLine.h"
#include "host/gui/DesignStyle.h"
#include "host/gui/ErrorReport.h"
#include "host/gui/FormInstance.h"
#include "host/gui/Translations.h"

int main(int argc, char** argv) {
    if (const std::optional<int> end = host::handleCommandLine(
            argc, argv,
            {QStringLiteral("vortle-setup"),
             QT_TRANSLATE_NOOP("CommandLine",
                               "Installs Vortle from the set-up folder, or removes it again.")}))
        return *end;
    host::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortle Installation"));
    host::loadTranslations();
    host::useClassicFont();
    host::useDesignStyle();
    host::ensurePrefix();
    host::FormInstance<Form1>::show();
    return QApplication::exec();
}
