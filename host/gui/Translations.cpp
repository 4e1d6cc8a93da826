// SPDX-License-Identifier: MIT
#include "Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

namespace host {

void loadTranslations() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
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
