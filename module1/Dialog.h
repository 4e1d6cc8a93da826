// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

// The platform's open and save file dialogs behind two calls. Holds no state between calls.
class Dialog {
public:
    // `filterstring`: pairs of description and pattern separated by "|" ("Icons|*.ico");
    // "Alle Dateien (*.*)|*.*" when not given. `verzeichnis`: the directory the dialog opens
    // in; the current directory when not given. Returns the chosen full path, or "".
    QString OpenFile(const std::optional<QString>& filterstring = std::nullopt,
                     const std::optional<QString>& verzeichnis = std::nullopt);

    // As OpenFile; `dateiname` is the file name the dialog proposes. Asks nothing before an
    // existing file is chosen.
    QString SaveFile(const std::optional<QString>& dateiname = std::nullopt,
                     const std::optional<QString>& filterstring = std::nullopt,
                     const std::optional<QString>& verzeichnis = std::nullopt);

private:
    QString run(bool save, const std::optional<QString>& dateiname,
                const std::optional<QString>& filterstring,
                const std::optional<QString>& verzeichnis);
};
