// The batch script that deletes the uninstalled executable once its process has ended.
// Portable: works on ANSI bytes, which is what the script file holds.
#pragma once

#include <cstddef>
#include <string>

namespace tamsolo {

// Template A keeps the folder (it still holds other files); template B, for a folder with
// fewer than 2 files, also empties and removes it. Every line ends with CR LF.
inline constexpr char kDelSelfKeepFolder[] =
    "cd\\\r\n:delexe\r\nping -n %d 127.0.0.1\r\ndel \"%s\"\r\nif exist \"%s\" goto :delexe\r\ndel \"%s\"\r\n";
inline constexpr char kDelSelfRemoveFolder[] =
    "cd\\\r\n:delexe\r\nping -n %d 127.0.0.1\r\ndel \"%s\"\r\nif exist \"%s\" goto :delexe\r\n"
    "del \"%s\" /Q /F /A\r\nrd \"%s\"\r\ndel \"%s\"\r\n";

constexpr std::size_t kScriptBytes = 2048;

// The folder part of a path: everything before the last backslash (the whole text if none).
std::string FolderOf(const std::string& path);

// The script text for the executable (ANSI path), chosen by how many files its folder holds.
// Empty when the text would not fit the 2048-byte script buffer: a cut-off script could
// delete the wrong thing, so none is written then.
std::string BuildDelSelfScript(std::size_t filesInFolder, const std::string& exePath, const std::string& scriptPath);

}  // namespace tamsolo
