// SPDX-License-Identifier: MIT
#include "DiskEngine.h"

#include "host/core/CodePage.h"
#include "host/core/FileSystem.h"
#include "host/core/RuntimeError.h"
#include "host/image/Picture.h"
#include "storage/RecordFile.h"

namespace vortle::DiskEngine {
namespace {

// A note is text someone typed: the note box held about this much. More would take the window
// seconds and the machine gigabytes to lay out (a long line, millions of empty ones).
constexpr qint64 kMaxNoteBytes = 64 << 10;

} // namespace

DriveState probeDrive(const QString& drive, Sweep sweep) {
    const QString root = drive.left(1) + QStringLiteral(":\\");
    try {
        host::findFirstFile(root + QStringLiteral("*.*"), host::AttrNormal);
    } catch (const host::RuntimeError& error) {
        if (error.number() == host::ErrDeviceUnavailable)
            return DriveState::NoDrive;
        if (error.number() == host::ErrDiskNotReady)
            return DriveState::NotReady;
        return DriveState::Unreadable;
    }
    // What a killed run left on the medium would silently fill it.
    if (sweep == Sweep::StaleTemporaries)
        host::resumeNext([&] { host::removeStaleTemporaries(root); });
    return DriveState::Ready;
}

DiskIdentity readIdentity(SettingsFile settings) {
    DiskIdentity identity;
    if (settings == SettingsFile::CreateMissing ||
        host::ownEntryExists(DiskSettings::kSettingsPath))
        host::resumeNext([&] {
            storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
                identity.name = storage::GetRecord(file, DiskSettings::kNameRecord).toText();
            });
        });
    host::resumeNext([&] { identity.image = host::loadPicture(DiskSettings::kIconPath); });
    return identity;
}

DiskContents readContents() {
    DiskContents contents;
    try {
        storage::withRecordFile(DiskSettings::kSettingsPath, [&](int file) {
            contents.name = storage::GetRecord(file, DiskSettings::kNameRecord).toText();
            DiskSettings::readActions(file, contents.list.actions);
        });
    } catch (const host::RuntimeError&) {
        contents.list.complete = false;
    }
    return contents;
}

void writeSettings(const QString& name, const QList<DiskSettings::Action>& actions) {
    using storage::TaggedValue;
    storage::RecordImage settings;
    settings.put(DiskSettings::kNameRecord, TaggedValue::string(name));
    for (int i = 0; i < actions.size(); ++i) {
        settings.put(DiskSettings::kindRecord(i), TaggedValue::string(actions[i].kind));
        settings.put(DiskSettings::firstPathRecord(i), TaggedValue::string(actions[i].firstPath));
        settings.put(DiskSettings::secondPathRecord(i), TaggedValue::string(actions[i].secondPath));
    }
    host::writeFileReplacing(DiskSettings::kSettingsPath, settings.bytes());
}

void replaceIcon(const QString& source) {
    const QString& target = DiskSettings::kIconPath;
    if (host::isSameFile(source, target))
        return;
    constexpr int kept = host::AttrReadOnly | host::AttrHidden | host::AttrSystem;
    const int attributes = host::ownEntryExists(target) ? host::getAttributes(target) & kept : 0;
    if (attributes & host::AttrReadOnly)
        host::setAttributes(target, attributes & ~host::AttrReadOnly);
    try {
        host::copyFile(source, target);
    } catch (const host::RuntimeError&) {
        host::resumeNext([&] { host::setAttributes(target, attributes); });
        throw;
    }
    if (attributes != 0)
        host::setAttributes(target, attributes);
}

Note readNote() {
    Note note;
    note.text =
        host::fromAnsi(host::readFileStart(DiskSettings::kNotesPath, kMaxNoteBytes, note.whole));
    note.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return note;
}

void writeNote(const QString& note) {
    QString text = note;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    // Beside the old note and renamed into place; no line end is added after the text, so the
    // note does not grow by an empty line on every save.
    host::writeFileReplacing(DiskSettings::kNotesPath, host::toAnsi(text));
    // The disk icon file's protection; a diskette without one has nothing to protect.
    if (host::ownEntryExists(DiskSettings::kIconPath))
        host::resumeNext([] {
            host::setAttributes(DiskSettings::kIconPath, host::AttrReadOnly | host::AttrHidden);
        });
}

} // namespace vortle::DiskEngine
