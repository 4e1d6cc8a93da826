// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The profiles file: profile p's name in record 2p + 1 and its icon path in record 2p + 2;
// the list ends at the first empty name, and at most 101 profiles are read.
namespace vortle::Profiles {

struct Profile {
    QString name;
    QString icon;
    friend bool operator==(const Profile&, const Profile&) = default;
};

constexpr int kMaxProfiles = 101;

// Where the preferences window keeps the file: the system directory + "VRTLProfiles.dll".
QString ProfilesPath();
// The fixed path under which the disk properties window reads it.
inline const QString kFixedProfilesPath = QStringLiteral("c:\\windows\\system\\VRTLProfiles.dll");

// Every profile, in position order; each failing step is skipped, so what was read before a
// failure is kept (a missing file reads as no profiles and is left behind empty).
QList<Profile> readAllProfiles(const QString& path);

// The names only.
QStringList readProfileNames(const QString& path);

// The profile at a position; a position beyond the end gives an empty name and icon.
// Raises the file's errors.
Profile readProfile(const QString& path, int position);

// Replaces the whole file with the list, through a temporary file and a rename. Profiles with
// an empty name are left out, since the first one would end the list for every reader.
// Raises the file's errors; nothing is changed then.
void writeAllProfiles(const QString& path, const QList<Profile>& profiles);

} // namespace vortle::Profiles
