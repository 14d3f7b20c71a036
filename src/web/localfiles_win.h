// File-system routines beside the browser cache: recursive removal and counting of a folder
// tree, and the path of a file beside the running program.
#pragma once

#include <windows.h>

#include <string>

namespace web {

// Removes every file (read-only ones too) and sub-folder, then the folder itself. FALSE when
// anything stayed; the thread's last error is then that of the last file that would not go,
// or of the folder's own removal.
BOOL RemoveDirectoryTree(const std::wstring& folder);

// Files (not folders) in the tree, its sub-folders included; 0 for an empty folder and for an
// empty path. A folder that cannot be listed, a missing one included, counts as 1 file, so
// that nobody takes it for empty and removes it.
unsigned CountFiles(const std::wstring& folder);

// The program's folder + name, or the program's own path for an empty name. FALSE and an empty
// text when the program's path has no "\".
BOOL PathBesideProgram(const std::wstring& name, std::wstring* out);

}  // namespace web
