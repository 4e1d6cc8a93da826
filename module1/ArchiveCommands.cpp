// SPDX-License-Identifier: MIT
#include "ArchiveCommands.h"

#include "MediumWait.h"
#include "Module1.h"
#include "engine/DiskSettings.h"
#include "host/core/FileSystem.h"
#include "host/core/Process.h"
#include "host/core/RuntimeError.h"
#include "host/gui/MessageBox.h"
#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

#include <QCoreApplication>

#include <memory>

namespace vortle::ArchiveCommands {
namespace {

// Starts WinZip with the given arguments after its path; every failing step is skipped.
void startWinZip(const QString& arguments) {
    if (!Module1::diskInserted())
        return;
    // The archive is one of the diskette's own files: a link in its place (or a second name of
    // someone's file) is never handed to WinZip, which would create or write what it names.
    const auto isLink = std::make_shared<bool>(true);
    try {
        Module1::waitForMedium(
            [isLink] { *isLink = host::isForeignEntryOnMedium(DiskSettings::kAutoArchive); });
    } catch (const host::RuntimeError&) {
        return; // the diskette stopped answering
    }
    if (*isLink) {
        host::MsgBox(QCoreApplication::translate(
                         "ArchiveCommands",
                         "The auto-archive on the disk is a link to another file. It was not "
                         "opened."),
                     host::MB_ICONCRITICAL, Module1::kTitle);
        return;
    }
    // An unreadable settings file leaves the path empty, as an unset one is.
    QString winZip;
    host::resumeNext([&] {
        const auto [path] =
            storage::readProgramSettings({storage::ProgramSettingsRecord::WinZipPath});
        winZip = path.toText();
    });
    if (winZip.isEmpty())
        return;
    // The path goes in as stored: no quotes, nothing trimmed.
    host::resumeNext([&] { host::startProcess(winZip + arguments, 1); });
}

} // namespace

void addFiles() {
    startWinZip(QLatin1Char(' ') + DiskSettings::kAutoArchive + QStringLiteral(" -a"));
}

void open() {
    startWinZip(QLatin1Char(' ') + DiskSettings::kAutoArchive);
}

void deleteArchive() {
    if (!Module1::CheckDrive(QStringLiteral("a:")))
        return;
    host::resumeNext(
        [] { Module1::waitForMedium([] { host::deleteFiles(DiskSettings::kAutoArchive); }); });
}

} // namespace vortle::ArchiveCommands
