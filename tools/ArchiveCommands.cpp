#include "ArchiveCommands.h"

#include "disk/Module1.h"
#include "host/FileSystem.h"
#include "host/MessageBox.h"
#include "host/Process.h"
#include "host/RuntimeError.h"
#include "storage/ProgramSettings.h"
#include "storage/RecordFile.h"

namespace ArchiveCommands {
namespace {

// Starts WinZip with the given arguments after its path; every failing step is skipped.
void startWinZip(const QString& arguments) {
    if (!Module1::CheckDrive(QStringLiteral("a:"))) {
        host::MsgBox(QStringLiteral("No disk inserted."), host::MB_ICONCRITICAL, Module1::kTitle);
        return;
    }
    QString winZip;
    bool read = false;
    host::resumeNext([&] {
        const QString path = storage::ProgramSettingsPath();
        const int file = storage::NextFileNumber();
        storage::OpenRecordFile(path, file);
        storage::RecordFileGuard guard(file);
        winZip = storage::GetRecord(file, storage::ProgramSettingsRecord::WinZipPath).toText();
        storage::CloseRecordFile(file);
        read = true;
    });
    if (!read || winZip.isEmpty())
        return;
    // The path goes in as stored: no quotes, nothing trimmed.
    host::resumeNext([&] { host::startProcess(winZip + arguments, 1); });
}

} // namespace

void addFiles() {
    startWinZip(QStringLiteral(" a:\\VRTLAutoArchive.zip -a"));
}

void open() {
    startWinZip(QStringLiteral(" a:\\VRTLAutoArchive.zip"));
}

void deleteArchive() {
    if (!Module1::CheckDrive(QStringLiteral("a:")))
        return;
    host::resumeNext([] { host::deleteFiles(kAutoArchive); });
}

} // namespace ArchiveCommands
