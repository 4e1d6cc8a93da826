// SPDX-License-Identifier: MIT
#include "Profiles.h"

#include "ProgramSettings.h"
#include "RecordFile.h"
#include "host/core/FileSystem.h"
#include "host/core/RuntimeError.h"
#include "host/core/SystemDirs.h"

namespace vortle::Profiles {
namespace {

using storage::TaggedValue;

// Profile p (from 0) is two records: its name, then its icon's path.
constexpr int nameRecord(int position) {
    return 2 * position + 1;
}
constexpr int iconRecord(int position) {
    return 2 * position + 2;
}

// Reads position by position up to the first empty name; the icon records only when asked.
QList<Profile> readProfiles(const QString& path, bool withIcons) {
    QList<Profile> profiles;
    host::resumeNext([&] {
        storage::withRecordFile(path, [&](int file) {
            for (int p = 0; p < kMaxProfiles; ++p) {
                const TaggedValue name = storage::GetRecord(file, nameRecord(p));
                if (name.equals(u""))
                    break;
                profiles.append(
                    {name.toText(),
                     withIcons ? storage::GetRecord(file, iconRecord(p)).toText() : QString()});
            }
        });
    });
    return profiles;
}

} // namespace

QString ProfilesPath() {
    return host::SystemDirectory() + QStringLiteral("VRTLProfiles.dll");
}

QList<Profile> readAllProfiles(const QString& path) {
    return readProfiles(path, true);
}

QStringList readProfileNames(const QString& path) {
    QStringList names;
    for (const Profile& profile : readProfiles(path, false))
        names.append(profile.name);
    return names;
}

Profile readProfile(const QString& path, int position) {
    Profile profile;
    storage::withRecordFile(path, [&](int file) {
        profile.name = storage::GetRecord(file, nameRecord(position)).toText();
        profile.icon = storage::GetRecord(file, iconRecord(position)).toText();
    });
    return profile;
}

void writeAllProfiles(const QString& path, const QList<Profile>& profiles) {
    storage::RecordImage image;
    int position = 0;
    for (const Profile& profile : profiles) {
        if (profile.name.isEmpty() || position == kMaxProfiles)
            continue;
        image.put(nameRecord(position), TaggedValue::string(profile.name));
        image.put(iconRecord(position), TaggedValue::string(profile.icon));
        ++position;
    }
    host::writeFileReplacing(path, image.bytes());
}

} // namespace vortle::Profiles
