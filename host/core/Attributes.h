// SPDX-License-Identifier: MIT
#pragma once

#include <sys/stat.h>

namespace host {

// DOS file attributes.
enum Attribute : int {
    AttrNormal = 0,
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrDirectory = 16,
    AttrArchive = 32,
};

// Attributes of the file or folder that `fd` holds (an O_PATH descriptor will do), kept the
// way Wine keeps them: read-only is the absence of every write bit, hidden and system live in
// the user.DOSATTRIB extended attribute, and on a vfat mount the FAT attributes themselves are
// used.
int attributesOf(int fd);

// Sets exactly the read-only, hidden and system bits of `attributes` on what `fd` holds (never
// a link: the caller opened the entry itself). A file system that can store hidden and system
// takes them; one that cannot takes the call without effect.
void setAttributesOf(int fd, int attributes);

// True when the entry carries the read-only attribute (DOS rules, also for root).
bool isReadOnly(const struct stat& st);

} // namespace host
