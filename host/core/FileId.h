// SPDX-License-Identifier: MIT
#pragma once

#include <QHashFunctions>

#include <optional>
#include <sys/stat.h>

namespace host {

// Which file an entry or a descriptor is: its device and inode. Two names (or a name and a
// link to it) of one file have the same FileId.
struct FileId {
    dev_t device = 0;
    ino_t inode = 0;

    static FileId of(const struct stat& st) { return {st.st_dev, st.st_ino}; }
    // The file an open descriptor is; none when fstat fails.
    static std::optional<FileId> ofDescriptor(int fd) {
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0)
            return std::nullopt;
        return of(st);
    }
    bool operator==(const FileId&) const = default;
};

inline size_t qHash(const FileId& id, size_t seed = 0) {
    return qHashMulti(seed, quint64(id.device), quint64(id.inode));
}

} // namespace host
