// SPDX-License-Identifier: MIT
#pragma once

#include "DosPath.h"
#include "Fd.h"
#include "FileId.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <sys/stat.h>

namespace host {

// Whether a link in the last component of a path is followed (Follow) or taken as the entry
// itself (Keep).
enum class LastLink { Keep, Follow };

// Where a DOS path leads, resolved once for one operation: the folder that holds the entry,
// held open, and the entry's name in it as the host spells it. The operation then acts on the
// held folder only (unlinkat, renameat, mkdirat, openat), so the path is never looked up again.
//
// Drive A: is untrusted: its paths are resolved beneath a descriptor of the drive's root, by
// the kernel (openat2 with RESOLVE_BENEATH and RESOLVE_NO_MAGICLINKS; component by component
// where the kernel lacks it). A link that stays on the medium works; one that leads off it is
// 75, decided in the same look that finds the entry. Drives c: and z: are the user's own, and
// their links are followed.
class Location {
public:
    // Throws 52 for a malformed path, 68 and 71 for the drive, 75 for a path on the medium
    // whose links lead off it. A folder on the way that does not exist is no error here:
    // folderExists() is then false, and the operation says what that means for it.
    static Location of(const QString& dosPath);
    static Location of(const DosPath& path);

    bool onMedium() const { return m_confined; }

    // The one rule for links. On the medium, a link or a file with a second name elsewhere is
    // a foreign entry (given its stat, not followed): the program's own files are never read,
    // marked or written through one, only replaced as entries of their own; a hard link to
    // someone's file would otherwise be written in place. Elsewhere (the user's own drives)
    // links lead where they lead, and nothing is foreign.
    bool isForeignEntry(const struct stat& entry) const;
    // How the program's own files here are looked at: through a link, off the medium only.
    LastLink ownFileLinks() const { return m_confined ? LastLink::Keep : LastLink::Follow; }

    bool folderExists() const { return m_folder.fd >= 0; }
    // The held folder (O_PATH); -1 when it does not exist.
    int folder() const { return m_folder.fd; }
    // The entry's name as the host has it: what exists there, matched exactly or ignoring case,
    // else the spelling of the path. Empty for a drive's root.
    const QByteArray& name() const { return m_name; }

    // The entry's stat. A link in the last component is followed with LastLink::Follow (on
    // the medium, only beneath its root); otherwise it is described itself.
    std::optional<struct stat> status(LastLink last) const { return statusOf(m_name, last); }
    std::optional<struct stat> statusOf(const QByteArray& name, LastLink last) const;

    // Opens the entry (or another entry of the held folder) with open(2)'s flags; a link in
    // the last component is followed only with LastLink::Follow. -1 with errno set on failure.
    int open(int flags, mode_t mode, LastLink last) const {
        return openEntry(m_name, flags, mode, last);
    }
    int openEntry(const QByteArray& name, int flags, mode_t mode, LastLink last) const;

    // A readable descriptor of the held folder, for listing and flushing it; -1 on failure.
    int openFolder() const;

    // The entry's host path, for handing it to another program or a dialog: the drive's root
    // as the kernel names it, then the folders and the name as the host spells them (what
    // exists, matched; what does not, as written).
    QString hostPath() const;

private:
    Location() = default;

    UniqueFd m_root;
    UniqueFd m_folder;
    QByteArray m_folderPath; // below the root, as the host names it ("" for the root itself)
    QByteArray m_name;
    bool m_confined = false;
};

// What tells one medium from another: the device, file-system id and inode of its root. No
// descriptor is held, so nothing keeps the medium from being unmounted.
struct MediumId {
    FileId root;
    QByteArray fileSystem; // statfs's f_fsid
    bool operator==(const MediumId&) const = default;

    static MediumId of(int root); // none where it cannot be had
    static MediumId ofDriveA();   // none when the drive is not ready
};

// The medium in drive A: as it was when taken: its root, held open. A window that was filled
// from the medium keeps one, so that its OK writes on that medium or nowhere; comparing it with
// what is in the drive now tells a medium put in its place (another stick mounted there, drive
// A: pointed elsewhere) from the same one.
class Medium {
public:
    Medium() = default; // none: the drive was not ready
    static Medium inDriveA();
    Medium duplicate() const;

    // False when drive A: now holds another medium than this one (or this is none).
    bool isInDrive() const;
    // The held root (O_PATH); -1 when the drive was not ready.
    int root() const { return m_root.fd; }

private:
    explicit Medium(UniqueFd root) : m_root(std::move(root)) {}
    UniqueFd m_root;
};

// A medium held for the thread that made this, for as long as it lives: every operation of
// that thread on a: resolves beneath the held root, so a medium put in its place meanwhile is
// never reached. An Execute Link run holds the one in the drive; a window's OK the one it was
// filled from.
class MediumHold {
public:
    MediumHold();
    explicit MediumHold(const Medium& medium);
    ~MediumHold();
    MediumHold(const MediumHold&) = delete;
    MediumHold& operator=(const MediumHold&) = delete;

    bool isInDrive() const { return m_medium.isInDrive(); }
    int root() const { return m_medium.root(); }

    // The hold of the calling thread, or none.
    static const MediumHold* current();

private:
    Medium m_medium;
    const MediumHold* m_outer;
};

// The host's name of the entry of a folder (any descriptor of it) that matches `name` exactly,
// else ignoring case; empty when none does.
QByteArray matchName(int folder, const QString& name);

// The errno of a look beneath the medium's root that would have left it (or went round in
// links, or kept meeting a rename that raced it).
bool leadsOffTheMedium(int err);

} // namespace host
