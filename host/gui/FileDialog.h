// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace host {

constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x2;
constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x800;
constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;
constexpr std::uint32_t OFN_EXPLORER = 0x80000;

// The platform's dialog record in its 8-bit form. Strings are in the code page; the filter is
// a list of NUL-terminated description and pattern strings ended by an empty string.
struct OPENFILENAME {
    std::uint32_t lStructSize;
    QWidget* hwndOwner;
    void* hInstance;
    const char* lpstrFilter;
    char* lpstrCustomFilter;
    std::uint32_t nMaxCustFilter;
    std::uint32_t nFilterIndex;
    char* lpstrFile;
    std::uint32_t nMaxFile;
    char* lpstrFileTitle;
    std::uint32_t nMaxFileTitle;
    const char* lpstrInitialDir;
    const char* lpstrTitle;
    std::uint32_t Flags;
    std::uint16_t nFileOffset;
    std::uint16_t nFileExtension;
    const char* lpstrDefExt;
    std::intptr_t lCustData;
    void* lpfnHook;
    const char* lpTemplateName;
};

// Show the open or save dialog that the record describes. Nonzero when the user chose a file:
// its full DOS path is then in lpstrFile, ended by a NUL. Zero when the user cancelled or the
// dialog failed (a path that does not fit nMaxFile).
int GetOpenFileNameA(OPENFILENAME* ofn);
int GetSaveFileNameA(OPENFILENAME* ofn);

// What a dialog is asked to show, as read from the record.
struct FileDialogRequest {
    bool save = false;
    const OPENFILENAME* record = nullptr;
    QStringList nameFilters; // the record's pairs of description and pattern, as Qt shows them
    // After them, what a Linux desktop needs to find anything: pictures beside icons, programs
    // (files that can be run, which have no .exe) beside executables, and all files.
    QStringList desktopFilters;
    QString selectedNameFilter;
    QString initialDirectory; // host path
    QString initialName;
};

// Tests answer file dialogs here: the hook returns the chosen host path, or nothing for
// Cancel. An empty hook restores the real dialogs.
using FileDialogHook = std::function<std::optional<QString>(const FileDialogRequest&)>;
void setFileDialogHook(FileDialogHook hook);

} // namespace host
