// File-system routines beside the browser cache: recursive removal and counting of a folder
// tree that stop at links.
#pragma once

#include <windows.h>

#include <string>

namespace web {

// Whether the path is a junction, a symbolic link or another reparse point.
bool IsLinkPath(const std::wstring& path);

// What a removal left behind, by cause.
struct RemovalLeftovers {
    unsigned held = 0;   // open in another program (sharing or lock violation)
    unsigned other = 0;  // anything else that would not go: no right to it, a folder not listed
};

// Removes every file (read-only ones too) and sub-folder, then the folder itself. A junction or
// symbolic link, the folder itself included, is removed as a link and never entered, so the
// files of its target stay whole. FALSE when anything stayed; the thread's last error is then that of the last file that would not go,
// or of the folder's own removal. With leftovers given, every file, link or folder that would
// not go is counted there by cause; a listed folder that stays only because something inside
// it stayed (or appeared meanwhile) is not counted again.
BOOL RemoveDirectoryTree(const std::wstring& folder, RemovalLeftovers* leftovers = nullptr);

// Files (not folders) in the tree, its sub-folders included; 0 for an empty folder and for an
// empty path. A link counts as one file and is not entered. A folder that cannot be listed, a missing one included, counts as 1 file, so
// that nobody takes it for empty and removes it.
unsigned CountFiles(const std::wstring& folder);

}  // namespace web
