// SPDX-License-Identifier: MIT
#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

namespace host {

void loadTranslations() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    // Qt's own texts (the command line's "Usage:", the file dialog's buttons) from Qt's
    // catalogue, where the desktop has it (qt6-translations-l10n).
    auto* qt = new QTranslator(application);
    if (qt->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    QStringList folders{QCoreApplication::applicationDirPath() +
                        QStringLiteral("/../share/vortle/translations")};
    folders += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                         QStringLiteral("vortle/translations"),
                                         QStandardPaths::LocateDirectory);
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(application);
        if (translator->load(QLocale(), QStringLiteral("vortle"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
        delete translator;
    }
}

} // namespace host
