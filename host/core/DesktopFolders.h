// SPDX-License-Identifier: MIT
#pragma once

// Drive C:'s special folders are the desktop's own: c:\My Documents and c:\windows\desktop
// are links to its documents and desktop folders, c:\recycled stands for its trash too, and
// c:\windows\recent for its list of recent documents. Nothing else of the home folder is
// touched.
namespace host {

// Links c:\My Documents and c:\windows\desktop to the desktop's folders where no entry of
// that name exists; never where the desktop's folder is missing or is the home folder itself,
// and not at all with [DriveC] desktopFolders=false in vortle.conf.
void linkDesktopFolders();

// Deletes the trashed regular files of the desktop's trash, each with its .trashinfo; trashed
// folders stay with theirs. A trash that cannot be read is left as it is.
void emptyDesktopTrashFiles();

// Leaves the desktop's recent list (recently-used.xbel, shared by GTK and KDE programs) a
// valid list without entries, replaced in one step, and deletes KDE's RecentDocuments
// entries. A missing list stays missing. Raises 75 when the list cannot be replaced.
void clearDesktopRecentList();

} // namespace host
