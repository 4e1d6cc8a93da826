// SPDX-License-Identifier: MIT
#include "Dialog.h"

#include "host/core/CodePage.h"
#include "host/core/DosPath.h"
#include "host/gui/FileDialog.h"

#include <QApplication>

namespace {

constexpr int kMaxFile = 260;
constexpr std::uint32_t kRecordSize = 76; // the platform's 76-byte form of the record

// "Icons|*.ico" becomes "Icons", NUL, "*.ico", NUL, NUL, NUL.
QByteArray convertFilter(QString filter) {
    if (!filter.endsWith(QLatin1Char('|')))
        filter += QLatin1Char('|');
    QByteArray converted = host::toAnsi(filter);
    converted.replace('|', '\0');
    converted.append(2, '\0');
    return converted;
}

} // namespace

QString Dialog::OpenFile(const std::optional<QString>& filterstring,
                         const std::optional<QString>& verzeichnis) {
    return run(false, std::nullopt, filterstring, verzeichnis);
}

QString Dialog::SaveFile(const std::optional<QString>& dateiname,
                         const std::optional<QString>& filterstring,
                         const std::optional<QString>& verzeichnis) {
    return run(true, dateiname, filterstring, verzeichnis);
}

QString Dialog::run(bool save, const std::optional<QString>& dateiname,
                    const std::optional<QString>& filterstring,
                    const std::optional<QString>& verzeichnis) {
    QByteArray file = dateiname ? host::toAnsi(*dateiname) : QByteArray();
    file.append('\0');
    file.append(kMaxFile, ' ');
    const QByteArray filter =
        convertFilter(filterstring.value_or(QStringLiteral("Alle Dateien (*.*)|*.*")));
    const QByteArray directory = host::toAnsi(verzeichnis.value_or(host::currentDirectory()));
    // QByteArray keeps a NUL after its data, so the directory is a proper C string.

    host::OPENFILENAME ofn{};
    ofn.lStructSize = kRecordSize;
    ofn.hwndOwner = QApplication::activeWindow();
    ofn.lpstrFilter = filter.constData();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kMaxFile;
    ofn.lpstrInitialDir = directory.constData();
    ofn.Flags = save ? host::OFN_EXPLORER
                     : host::OFN_EXPLORER | host::OFN_FILEMUSTEXIST | host::OFN_PATHMUSTEXIST;

    const int chosen = save ? host::GetSaveFileNameA(&ofn) : host::GetOpenFileNameA(&ofn);
    if (chosen == 0)
        return {};
    return host::fromAnsi(
        QByteArrayView(file.constData(), qstrnlen(file.constData(), file.size())));
}
